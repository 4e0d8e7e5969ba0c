// Under Windows: sounds played through waveOut, heard in the file that ALSA's default device
// writes (see CMakeLists.txt).
#ifdef _WIN32
#include <windows.h>

#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "toolkit/devices/sound.h"

namespace {

struct Wav {
  int tag = 1, channels = 2, rate = 44100, bits = 16, fmtsize = 16;
  std::vector<int16_t> samples;  // interleaved
  long datasize = -1;            // as the header says; -1: the samples' size
};

void put32(std::string &s, uint32_t v) { s.append(reinterpret_cast<const char *>(&v), 4); }
void put16(std::string &s, uint16_t v) { s.append(reinterpret_cast<const char *>(&v), 2); }

std::string wavbytes(const Wav &w) {
  std::string fmt, data(reinterpret_cast<const char *>(w.samples.data()), w.samples.size() * 2);
  put16(fmt, static_cast<uint16_t>(w.tag));
  put16(fmt, static_cast<uint16_t>(w.channels));
  put32(fmt, static_cast<uint32_t>(w.rate));
  put32(fmt, static_cast<uint32_t>(w.rate * w.channels * w.bits / 8));
  put16(fmt, static_cast<uint16_t>(w.channels * w.bits / 8));
  put16(fmt, static_cast<uint16_t>(w.bits));
  fmt.resize(static_cast<size_t>(w.fmtsize), '\0');
  std::string body = "WAVEfmt ";
  put32(body, static_cast<uint32_t>(fmt.size()));
  body += fmt + "data";
  put32(body, static_cast<uint32_t>(w.datasize >= 0 ? w.datasize : static_cast<long>(data.size())));
  body += data;
  std::string file = "RIFF";
  put32(file, static_cast<uint32_t>(body.size()));
  return file + body;
}

// A stereo tone of the frequency (0: a constant level) for the seconds.
Wav tone(double hz, double seconds, int16_t level = 12000) {
  Wav w;
  int frames = static_cast<int>(seconds * w.rate);
  for (int i = 0; i < frames; i++) {
    int16_t v = hz > 0 ? static_cast<int16_t>(level * sin(2 * 3.14159265358979 * hz * i / w.rate)) : level;
    w.samples.push_back(v);
    w.samples.push_back(v);
  }
  return w;
}

std::vector<int16_t> readcapture() {
  std::vector<int16_t> out;
  FILE *f = fopen(SOUND_CAPTURE, "rb");
  if (!f) return out;
  int16_t buffer[4096];
  size_t n;
  while ((n = fread(buffer, 2, 4096, f)) > 0) out.insert(out.end(), buffer, buffer + n);
  fclose(f);
  return out;
}

// The capture once every output has written it out: the file has not grown for 60 ms.
std::vector<int16_t> captured() {
  std::vector<int16_t> last = readcapture();
  for (int quiet = 0, i = 0; quiet < 3 && i < 200; i++) {
    Sleep(20);
    std::vector<int16_t> now = readcapture();
    quiet = now.size() == last.size() ? quiet + 1 : 0;
    last = now;
  }
  return last;
}

class WaveOut : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    captured();
    remove(SOUND_CAPTURE);
    device = WTsounddevice_open(WTSOUND_WAVEOUT, 1, nullptr);
  }
  WTsound *sound(const char *name, const Wav &w) {
    return WTsound_new(device, tk::writefile(name, wavbytes(w)).c_str());
  }
  // Handles window messages until the condition holds (false after 10 s).
  template <typename F>
  bool until(F done) {
    for (DWORD start = GetTickCount(); !done(); ) {
      if (GetTickCount() - start > 10000) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    return true;
  }
  // A sound of priority 5 at level 1000 playing, and one at level 2000 that asked to play after
  // it and waits.
  bool playwithpending() {
    first = sound("first.wav", tone(0, 0.05, 1000));
    second = sound("second.wav", tone(0, 0.05, 2000));
    if (!first || !second) return false;
    WTsound_setparam(first, 7, 5.0f);
    return WTsound_play(first) == 1 && WTsound_play(second) == 0 && device->pending == second;
  }
  WTsounddevice *device = nullptr;
  WTsound *first = nullptr, *second = nullptr;
};

// Frames of the capture that are not silent.
std::vector<int16_t> heard(const std::vector<int16_t> &all) {
  size_t first = 0, last = all.size();
  while (first + 1 < all.size() && all[first] == 0 && all[first + 1] == 0) first += 2;
  while (last >= first + 2 && all[last - 1] == 0 && all[last - 2] == 0) last -= 2;
  return std::vector<int16_t>(all.begin() + static_cast<long>(first), all.begin() + static_cast<long>(last));
}

TEST_F(WaveOut, ATonePlaysWhole) {
  WTsound *s = sound("tone.wav", tone(440, 0.25));
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(WTsound_play(s), 1);
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(s); }));
  std::vector<int16_t> pcm = heard(captured());
  EXPECT_NEAR(static_cast<double>(pcm.size()) / 2, 11025, 50);
  int crossings = 0;
  for (size_t i = 2; i < pcm.size(); i += 2) crossings += (pcm[i - 2] < 0) != (pcm[i] < 0);
  EXPECT_NEAR(crossings / 2.0 / 0.25, 440, 8);
}

// Frames of the capture at the constant level on both channels.
int framesat(const std::vector<int16_t> &pcm, int16_t level) {
  int n = 0;
  for (size_t i = 0; i + 1 < pcm.size(); i += 2) n += pcm[i] == level && pcm[i + 1] == level;
  return n;
}

TEST_F(WaveOut, OnlyPcmFilesWithWholeDataLoad) {
  Wav adpcm = tone(0, 0.01), wide = tone(0, 0.01), cut = tone(0, 0.01);
  adpcm.tag = 2;
  wide.fmtsize = 18;
  cut.datasize = 4000;
  EXPECT_EQ(sound("adpcm.wav", adpcm), nullptr);
  EXPECT_EQ(sound("cut.wav", cut), nullptr);
  EXPECT_NE(sound("wide.wav", wide), nullptr);
}

TEST_F(WaveOut, RepeatsPlayAndCallBackOnce) {
  WTsound *s = sound("level.wav", tone(0, 0.05, 3000));
  ASSERT_NE(s, nullptr);
  static int ends;
  ends = 0;
  WTsound_setfinishedfn(s, [](WTsound *) { ends++; });
  WTsound_setparam(s, 8, 3.0f);
  ASSERT_EQ(WTsound_play(s), 1);
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(s); }));
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(framesat(captured(), 3000), 3 * 2205);
}

TEST_F(WaveOut, ARefusedPlayWaitsAndASoundStoppedForAnotherLetsItPlayWhole) {
  ASSERT_TRUE(playwithpending());
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(first) && !WTsound_isplaying(second); }));
  std::vector<int16_t> pcm = captured();
  EXPECT_EQ(framesat(pcm, 1000), 2205);
  EXPECT_EQ(framesat(pcm, 2000), 2205);

  // Equal priorities: the second stops the first and is heard to its end.
  captured();
  remove(SOUND_CAPTURE);
  WTsound *third = sound("third.wav", tone(0, 0.2, 3000));
  ASSERT_NE(third, nullptr);
  WTsound_setparam(first, 7, 1.0f);
  WTsound_setparam(third, 7, 1.0f);
  ASSERT_EQ(WTsound_play(first), 1);
  ASSERT_EQ(WTsound_play(third), 1);
  EXPECT_FALSE(WTsound_isplaying(first));
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(third); }));
  EXPECT_EQ(framesat(captured(), 3000), 8820);
}

TEST_F(WaveOut, PanHalvesTheRightChannel) {
  WTsound *s = sound("tone.wav", tone(440, 0.5));
  ASSERT_NE(s, nullptr);
  WTsounddevice_setparam(device, 5, 1.0e6f);
  const WTp3 leftfront = {-0.5f, 0.0f, 0.8660254f};
  WTsound_setposition(s, leftfront);
  ASSERT_EQ(WTsound_play(s), 1);
  WTuniverse_go1();
  WTuniverse_go1();
  EXPECT_NEAR(s->pan, 0.5f, 1e-4);
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(s); }));
  std::vector<int16_t> pcm = heard(captured());
  double left = 0, right = 0;
  for (size_t i = pcm.size() / 2 & ~size_t(1); i + 1 < pcm.size(); i += 2) left += abs(pcm[i]), right += abs(pcm[i + 1]);
  ASSERT_GT(left, 0);
  EXPECT_NEAR(right / left, 0.5, 0.02);
}

TEST_F(WaveOut, CallbacksMayPlayAgainOrDelete) {
  WTsound *s = sound("level.wav", tone(0, 0.05, 3000));
  ASSERT_NE(s, nullptr);
  static int ends;
  ends = 0;
  WTsound_setfinishedfn(s, [](WTsound *sound) {
    if (ends++ == 0) WTsound_play(sound);
  });
  ASSERT_EQ(WTsound_play(s), 1);
  ASSERT_TRUE(until([&] { return ends == 2; }));
  EXPECT_EQ(framesat(captured(), 3000), 2 * 2205);

  WTsound_setfinishedfn(s, [](WTsound *sound) { WTsound_delete(sound); });
  ASSERT_EQ(WTsound_play(s), 1);
  ASSERT_TRUE(until([&] { return WTsounddevice_getsounds(device) == nullptr; }));
}

TEST_F(WaveOut, DeletingThePendingSoundForgetsIt) {
  ASSERT_TRUE(playwithpending());
  ASSERT_EQ(WTsound_delete(second), 1);
  EXPECT_EQ(device->pending, nullptr);
  ASSERT_TRUE(until([&] { return !WTsound_isplaying(first); }));
  EXPECT_EQ(framesat(captured(), 2000), 0);
}

}  // namespace
#endif
