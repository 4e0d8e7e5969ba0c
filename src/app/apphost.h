// The application's answers to what the plan model asks of the program.
#pragma once

// Installs the application's plan host (start-up, before anything reads a folder).
void InstallApplicationHost();
