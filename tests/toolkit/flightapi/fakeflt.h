// The record and attribute codes the OpenFlight API stand-ins agree on, and where the code
// tables hold them.
#pragma once

namespace fakeflt {

enum Code {
  kHeader = 1, kGroup, kObject, kFace, kVertex, kLod, kSwitch, kLight, kLightPoint, kExternal,
  kBsp, kVertexCoord = 100, kLodCentre, kLightPosition, kMatrix, kAmbient, kDiffuse, kSpecular,
  kEmission,
  // attributes
  kColourIndex = 200, kIntensity, kTwoSided, kMaterialIndex, kTextureIndex, kTexU, kTexV,
  kSwitchA, kSwitchB, kLodIn, kLodOut, kLightIndex, kAngleA, kAngleB, kAttenA, kAttenB, kAttenC,
  kSpotExponent, kSpotAngle, kLightType, kAlpha, kShininess, kExternalName,
};

struct Slot {
  unsigned offset;
  int code;
};

constexpr Slot kRecordSlots[] = {
    {0xd4, kGroup},      {0xd8, kHeader},       {0xe8, kVertexCoord}, {0xfc, kLight},
    {0x10c, kLodCentre}, {0x110, kLod},         {0x114, kLightPosition}, {0x118, kAmbient},
    {0x11c, kDiffuse},   {0x120, kSpecular},    {0x128, kMatrix},     {0x154, kObject},
    {0x168, kFace},      {0x1a8, kSwitch},      {0x1bc, kVertex},     {0x234, kExternal},
    {0x260, kLightPoint}, {0x8c, kAmbient},     {0xb8, kDiffuse},     {0xc4, kEmission},
    {0x188, kSpecular},
};

constexpr Slot kDataSlots[] = {
    {0x74, kColourIndex}, {0x78, kIntensity},   {0x6d4, kTwoSided},  {0x700, kMaterialIndex},
    {0x714, kTextureIndex}, {0x7c8, kTexU},     {0x7d4, kTexV},      {0x38c, kSwitchA},
    {0x390, kSwitchB},    {0x590, kLodIn},      {0x594, kLodOut},    {0x5b4, kLightIndex},
    {0x5b8, kAngleA},     {0x5bc, kAngleB},     {0x5c0, kAttenA},    {0x5c4, kAttenB},
    {0x5dc, kAttenC},     {0x5e0, kSpotExponent}, {0x5e4, kSpotAngle}, {0x5e8, kLightType},
    {0x5f4, kAlpha},      {0x758, kShininess},  {0x85c, kExternalName},
};

}  // namespace fakeflt
