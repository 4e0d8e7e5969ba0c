// vedra.exe offers the sound library's 21 entry points under their decorated names, and none of
// the devices' open or create functions.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Program, ExportsTheSoundEntriesDecoratedAndNoDeviceOpen) {
  HMODULE exe = ::LoadLibraryExA(VEDRA_EXE, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(exe, nullptr);
  for (const char *name :
       {"_dws_ErrNo@0", "_dws_DetectHardWare@4", "_dws_Init@8", "_dws_Kill@0", "_dws_XDig@8", "_dws_DPlay@4",
        "_dws_DSetInfo@8", "_dws_DGetInfo@8", "_dws_DGetRateFromDWD@8", "_dws_DDiscard@4", "_dws_DDiscardAO@4",
        "_dws_DClear@0", "_dws_DPause@0", "_dws_DUnPause@0", "_dws_WAV2DWD@12", "_dws_MPlay@4",
        "_dws_MSongStatus@4", "_dws_MClear@0", "_dws_MPause@0", "_dws_MUnPause@0", "_dws_Update@0"})
    EXPECT_NE(::GetProcAddress(exe, name), nullptr) << name;
  for (const char *name : {"dws_Init", "WTsounddevice_open", "WTsound_new", "_WTspaceball_open", "_WTserial_open"})
    EXPECT_EQ(::GetProcAddress(exe, name), nullptr) << name;
  for (const char *name : {"WTsound_play", "WTsounddevice_setparam", "_WTsound_closedevice"})
    EXPECT_NE(::GetProcAddress(exe, name), nullptr) << name;
  ::FreeLibrary(exe);
}
