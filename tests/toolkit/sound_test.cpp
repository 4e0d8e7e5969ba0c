// Sound devices and sound objects, on the outside sound library (a stand-in) and waveOut.
#include <math.h>

#include <gtest/gtest.h>

#include "scene.h"
#include "soundlib.h"
#include "toolkit/devices/sound.h"

namespace {

class Sounds : public tk::Universe {
 protected:
  void SetUp() override {
    uselibrary(DWS_COMPLETE);
    tk::Universe::SetUp();
    file = tk::writefile("ding.wav", "RIFF and some sound");
    listener = WTuniverse_getviewpoints();
  }
  void TearDown() override {
    tk::Universe::TearDown();
    dws_Kill();
    uselibrary(nullptr);
  }
  WTsounddevice *open(int channels = 4) { return WTsounddevice_open(WTSOUND_LIBRARY, channels, listener); }
  std::string file;
  WTviewpoint *listener = nullptr;
};

TEST_F(Sounds, OpenTakesKnownTypesAndClampsChannels) {
  for (int type : {2, 3, 4, 0}) EXPECT_EQ(WTsounddevice_open(type, 1, nullptr), nullptr) << type;
  const int cases[][2] = {{-1, 16}, {17, 16}, {0, 0}, {16, 16}, {3, 3}};
  for (const auto &c : cases) {
    WTsounddevice *d = open(c[0]);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(WTsounddevice_getchannels(d), c[1]) << c[0];
    EXPECT_EQ(standin()->settings.channels, c[1]);
    EXPECT_EQ(_WTsound_closedevice(d), 1);
  }
  WTsounddevice *wave = WTsounddevice_open(WTSOUND_WAVEOUT, 9, nullptr);
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(WTsounddevice_getchannels(wave), 1);
  EXPECT_EQ(WTsounddevice_getlistener(wave), listener);
  // Parameter 7 goes last at open and writes the range.
  EXPECT_FLOAT_EQ(WTsounddevice_getparam(wave, 5), 60.0f);
  WTsounddevice_setparam(wave, 1, 0.5f);
  EXPECT_FLOAT_EQ(WTsounddevice_getparam(wave, 1), 1.0f);
}

TEST_F(Sounds, SoundsKeepTheirParametersAndOrder) {
  WTsounddevice *d = open();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(WTsound_new(d, "nowhere.wav"), nullptr);
  WTsound *a = WTsound_new(d, file.c_str());
  WTsound *b = WTsound_new(d, file.c_str());
  WTsound *c = WTsound_new(d, file.c_str());
  ASSERT_TRUE(a && b && c);
  WTsound_setname(b, "Dong.WAV");
  EXPECT_EQ(WTsounddevice_findsound(d, "dong.wav"), b);
  EXPECT_FLOAT_EQ(WTsound_getparam(a, 6), 0.0f);
  EXPECT_FLOAT_EQ(WTsound_getparam(a, 8), 1.0f);
  EXPECT_FLOAT_EQ(WTsound_getparam(a, 42), 0.0f);
  WTsoundfn fn = [](WTsound *) {};
  WTsound_setfinishedfn(a, fn);
  WTsound_setfinishedfn(a, nullptr);
  EXPECT_EQ(WTsound_getfinishedfn(a), fn);
  ASSERT_EQ(WTsounddevice_getsounds(d), c);
  EXPECT_EQ(WTsound_delete(c), 1);
  EXPECT_EQ(WTsounddevice_getsounds(d), b);
  EXPECT_EQ(WTsound_next(b), a);
  EXPECT_EQ(WTsound_next(a), nullptr);
}

struct Place {
  const char *what;
  float turn;         // of the listener about y, radians
  float offset[3];    // of the source from the listener, in the listener's axes (x, y, z)
  float range;
  float level, pan;
};

TEST_F(Sounds, SpatializationGivesLevelsAndPans) {
  const Place places[] = {
      {"at the listener", 0.0f, {0, 0, 0}, 100.0f, 1.0f, 0.0f},
      {"at the range", 0.0f, {0, 0, 100}, 100.0f, 0.0f, 0.0f},
      {"beyond the range", 0.0f, {0, 300, 0}, 100.0f, 0.0f, 0.0f},
      {"-x of a turned listener", 1.0f, {-10, 0, 0}, 100.0f, 0.9f, 1.0f},
      {"+x of a turned listener", 1.0f, {50, 0, 0}, 100.0f, 0.5f, -1.0f},
      {"range 0", 0.0f, {0, 0, 5}, 0.0f, 0.0f, 0.0f},
  };
  WTsounddevice *d = open();
  WTsound *s = WTsound_new(d, file.c_str());
  ASSERT_NE(s, nullptr);
  const WTp3 at = {1, 2, 3};
  WTviewpoint_setposition(listener, at);
  for (const Place &p : places) {
    WTq q = {0, sinf(p.turn / 2), 0, cosf(p.turn / 2)};
    WTviewpoint_setorientation(listener, q);
    WTm3 m;
    WTq_2m3(q, m);
    WTp3 where;
    for (int i = 0; i < 3; i++)
      where[i] = at[i] + p.offset[0] * m[0][i] + p.offset[1] * m[1][i] + p.offset[2] * m[2][i];
    WTsound_setposition(s, where);
    WTsounddevice_setparam(d, 5, p.range);
    _WTsound_updatelistener(d);
    EXPECT_NEAR(s->level, p.level, 1e-4) << p.what;
    EXPECT_NEAR(s->pan, p.pan, 1e-4) << p.what;
  }
}

TEST_F(Sounds, ANodePathPlacesTheSoundAndADeletedListenerIsForgotten) {
  WTnode *mover = WTmovsepnode_new(root);
  const WTp3 there = {0, 0, 30};
  WTnode_settranslation(mover, there);
  WTnodepath *path = _WTnodepath_new(mover, root, 0);
  WTsounddevice *d = open();
  WTsound *s = WTsound_new(d, file.c_str());
  ASSERT_TRUE(path && s);
  EXPECT_EQ(WTsound_setnodepath(s, nullptr), 0);
  EXPECT_EQ(WTsound_setnodepath(s, path), 1);
  WTsounddevice_setparam(d, 5, 100.0f);
  _WTsound_updatelistener(d);
  EXPECT_NEAR(s->level, 0.7f, 1e-4);
  WTviewpoint *other = WTviewpoint_new();
  ASSERT_EQ(WTsounddevice_setlistener(d, other), 1);
  WTviewpoint_delete(other);
  EXPECT_EQ(WTsounddevice_getlistener(d), nullptr);
  WTuniverse_go1();
  _WTnodepath_delete(path);
}

TEST_F(Sounds, AVoiceGoesToARequestOfNoLowerPriority) {
  WTsounddevice *d = open(1);
  WTsound *first = WTsound_new(d, file.c_str());
  WTsound *second = WTsound_new(d, file.c_str());
  ASSERT_TRUE(first && second);
  WTsound_setparam(first, 7, 3.0f);
  ASSERT_EQ(WTsound_play(first), 1);
  int voice = first->voice;
  WTsound_setparam(second, 7, 2.0f);
  EXPECT_EQ(_WTsound_allocvoice(d, second), -1);
  EXPECT_TRUE(WTsound_isplaying(first));
  WTsound_setparam(second, 7, 3.0f);
  EXPECT_EQ(_WTsound_allocvoice(d, second), voice);
  EXPECT_FALSE(WTsound_isplaying(first));
}

// ---- The outside library ------------------------------------------------------------------------

TEST_F(Sounds, WithoutTheLibraryEveryEntryGivesThree) {
  uselibrary(nullptr);
  DWSdetect detect;
  DWSsettings settings;
  EXPECT_EQ(dws_Init(&detect, &settings), 3);
  EXPECT_EQ(dws_DetectHardWare(&detect), 3);
  EXPECT_EQ(dws_DGetRateFromDWD(nullptr, nullptr), 3);
  EXPECT_EQ(dws_Update(), 3);
  EXPECT_EQ(open(), nullptr);
  uselibrary(DWS_INCOMPLETE);
  EXPECT_EQ(dws_ErrNo(), 3);
  EXPECT_EQ(standin(), nullptr) << "an incomplete library stays loaded";
  uselibrary(DWS_COMPLETE);
  EXPECT_EQ(dws_ErrNo(), 0);
  EXPECT_EQ(dws_DGetRateFromDWD(nullptr, nullptr), 1);
}

TEST_F(Sounds, OpenChoosesTheCapabilityAndRefusesAnOddValue) {
  const uint32_t cases[][2] = {{0x6, 2}, {0x14, 16}, {0x1C, 16}, {0xC, 8}, {0x5, 4}, {0x1, 1}};
  for (const auto &c : cases) {
    ASSERT_EQ(dws_ErrNo(), 0);
    standin()->capabilities = c[0];
    WTsounddevice *d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(standin()->settings.capability, c[1]) << c[0];
    EXPECT_EQ(standin()->settings.value128, 128u);
    EXPECT_EQ(_WTsound_closedevice(d), 1);
  }
  ASSERT_EQ(dws_ErrNo(), 0);
  standin()->value = 4096;
  EXPECT_EQ(open(), nullptr);
}

TEST_F(Sounds, PlayParametersAndEndReachTheLibrary) {
  WTsounddevice *d = open();
  WTsound *s = WTsound_new(d, file.c_str());
  ASSERT_NE(s, nullptr);
  WTsound_setparam(s, 8, 3.0f);
  ASSERT_EQ(WTsound_play(s), 1);
  const DWSplay &p = standin()->played;
  EXPECT_EQ(p.flags, 0xC0800000u);
  EXPECT_EQ(p.count, 3);
  EXPECT_EQ(p.priority, 4096);
  EXPECT_EQ(p.notifymessage, 957u);
  EXPECT_EQ(memcmp(p.sounddata, "RIFF and some sound", 19), 0);
  EXPECT_EQ(s->voice, p.soundnumber);

  WTsound_setparam(s, 5, 3.0f);
  EXPECT_EQ(standin()->info.flags, 0x09000000u);
  EXPECT_EQ(standin()->info.pitch, 128);
  EXPECT_FLOAT_EQ(WTsound_getparam(s, 5), 2.0f);
  WTsound_setparam(s, 8, -1.0f);
  EXPECT_EQ(standin()->info.flags, 0x40000000u);
  EXPECT_EQ(standin()->info.count, 0);
  EXPECT_FLOAT_EQ(WTsound_getparam(s, 8), -1.0f);

  // The end of the play: a sound played again from its callback keeps the voice it got.
  static int ends;
  ends = 0;
  WTsound_setfinishedfn(s, [](WTsound *sound) {
    if (ends++ == 0) WTsound_play(sound);
  });
  finishsound(static_cast<uint16_t>(s->voice));
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(WTsound_isplaying(s));
  finishsound(static_cast<uint16_t>(s->voice));
  EXPECT_EQ(ends, 2);
  EXPECT_FALSE(WTsound_isplaying(s));
}

TEST_F(Sounds, TheFrameSetsTheLevelsOfPlayingSounds) {
  WTsounddevice *d = open();
  WTsound *s = WTsound_new(d, file.c_str());
  ASSERT_NE(s, nullptr);
  WTsounddevice_setparam(d, 5, 100.0f);
  WTp3 left = {-50, 0, 0};
  WTsound_setposition(s, left);
  ASSERT_EQ(WTsound_play(s), 1);
  // The device was brought up to date when it opened: the first frame skips it.
  int before = standin()->setinfos;
  WTuniverse_go1();
  EXPECT_EQ(standin()->setinfos, before);
  WTuniverse_go1();
  EXPECT_EQ(standin()->setinfos, before + 1);
  EXPECT_EQ(standin()->info.flags, 0x0E000000u);
  EXPECT_EQ(standin()->info.left, 2048);
  EXPECT_EQ(standin()->info.right, 0);
}

}  // namespace
