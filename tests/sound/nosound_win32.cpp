// Without DirectSound a program starts, runs and ends as usual. Wine turns the library
// off for one program through its per-program DLL settings, which leave every other
// program of the prefix (and the tests running beside this one) their sound.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/process.h"
#include "wav_writer.h"

namespace {

TEST(SoundFallback, ProgramRunsWithoutDirectSound) {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "turning DirectSound off needs Wine";
    const char* key = "Software\\Wine\\AppDefaults\\prog_nosound_win32.exe\\DllOverrides";
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &overrides, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(overrides, "dsound", 0, REG_SZ, (const BYTE*)"", 1);
    RegCloseKey(overrides);

    std::string dir = vxtest::MakeTempDir("nosound");
    ASSERT_TRUE(wavgen::Write(dir + "\\tone.wav",
                              wavgen::Make(wavgen::Layout(), wavgen::Level(8192, 1000, 1))));
    vxtest::RunResult run = vxtest::Run(vxtest::BuiltProgram("prog_nosound_win32"), {}, dir);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

}  // namespace
