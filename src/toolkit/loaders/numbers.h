// Decimal numbers of the text formats, read much faster than the C library reads them and with
// exactly its results: the same value (to the bit) and the same end of the number.
#pragma once

extern "C" {

// strtof's value and end for the text.
float _WTtext_strtof(const char *text, char **end);
// strtol's value and end for the text in base 10.
long _WTtext_strtol(const char *text, char **end);
}
