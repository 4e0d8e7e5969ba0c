#include "view3d/nodedata.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "models/scene_node.h"

namespace {

std::vector<NodeHandleHolder*>& Holders() {
  static std::vector<NodeHandleHolder*> holders;
  return holders;
}

bool IsUnnamed(WTnode* node) {
  const char* name = WTnode_getname(node);
  return !name || !*name;
}

bool IsAvatar(WTnode* node) {
  const char* name = WTnode_getname(node);
  return name && std::strcmp(name, kAvatarNodeName) == 0;
}

// Frees what the node carries: the avatar's pose as one block, a record after its motion.
void FreeNodeData(WTnode* node) {
  void* data = WTnode_getdata(node);
  if (!data) return;
  WTnode_setdata(node, nullptr);
  if (!IsAvatar(node)) {
    auto* record = static_cast<NodeUserData*>(data);
    _WTmem_free(record->motion);
    record->motion = nullptr;
  }
  _WTmem_free(data);
}

void DeleteTasks(WTnode* node) {
  while (WTtask* task = _WTtask_get(node, 0)) _WTtask_delete(task);
}

std::string UpperCase(const char* text) {
  std::string upper = text ? text : "";
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

struct KindEntry {
  uint32_t kind;
  const char* label;
  int page;
};

constexpr KindEntry kKinds[] = {
    {11, "조명", -1},        {22, "천정", 1},         {23, "바닥", 2},        {24, "벽", 0},
    {25, "몰딩", 0},         {101, "문", 3},          {102, "창문", 3},       {103, "문", 3},
    {201, "배경", -1},       {306, "주방가구", 2},    {307, "욕실", 2},       {308, "일반가구", 2},
    {309, "천정 조명", 1},   {310, "바닥 조명", 2},   {311, "벽 조명", 0},    {312, "블라인드", 0},
    {313, "커튼", 0},        {314, "등박스", 1},      {315, "아치", 3},       {316, "이미지월", 0},
    {318, "소품", -1},       {401, "건물", -1},       {402, "조경", -1},      {403, "도로", -1},
    {404, "기타", -1},       {405, "배경", -1},
};

const KindEntry* FindKind(uint32_t kind) {
  for (const KindEntry& entry : kKinds)
    if (entry.kind == kind) return &entry;
  return nullptr;
}

}  // namespace

const char* GetObjectKindLabel(uint32_t kind) {
  const KindEntry* entry = FindKind(kind);
  return entry ? entry->label : nullptr;
}

int GetObjectKindPage(uint32_t kind) {
  const KindEntry* entry = FindKind(kind);
  return entry ? entry->page : -1;
}

NodeUserData* NewNodeUserData(WTnode* node, uint32_t tag, SceneGroup* object, WTnode* top,
                              uint32_t kind) {
  auto* record = static_cast<NodeUserData*>(_WTmem_alloc(sizeof(NodeUserData)));
  *record = NodeUserData{tag, object, nullptr, top, nullptr, node, kind, 0, nullptr};
  WTnode_setdata(node, record);
  return record;
}

NodeUserData* GetNodeUserData(WTnode* node) {
  if (!node || IsUnnamed(node) || IsAvatar(node)) return nullptr;
  return static_cast<NodeUserData*>(WTnode_getdata(node));
}

void DeleteNodeTree(WTnode* node) {
  if (!node) return;
  for (int i = WTnode_numchildren(node) - 1; i >= 0; --i) DeleteNodeTree(WTnode_getchild(node, i));
  if (WTnode_gettype(node) == WTNODE_ROOT) return;
  for (NodeHandleHolder* holder : Holders()) holder->ForgetNode(node);
  if (!IsUnnamed(node)) {
    FreeNodeData(node);
    DeleteTasks(node);
  }
  WTnode_delete(node);
}

NodeHandleHolder::NodeHandleHolder() { Holders().push_back(this); }

NodeHandleHolder::~NodeHandleHolder() {
  auto& holders = Holders();
  holders.erase(std::remove(holders.begin(), holders.end(), this), holders.end());
}

void InstallSceneNodeDeleter() { SetNodeTreeDeleter(&DeleteNodeTree); }

bool IsDetachedPartName(const char* meshName, uint32_t kind) {
  const std::string upper = UpperCase(meshName);
  if (upper.find("BWALL") != std::string::npos && kind == kKindRoom) return true;
  const bool opening = kind == kKindDoor || kind == kKindWindow || kind == kKindDoor2 || kind == kKindArch;
  return opening && upper.find("HANDLE") != std::string::npos;
}

void CopyVec3(float dst[3], const float src[3]) { std::memmove(dst, src, 3 * sizeof(float)); }

void SetVec3(float dst[3], float x, float y, float z) {
  dst[0] = x;
  dst[1] = y;
  dst[2] = z;
}

void MulVec3(const float a[3], const float b[3], float out[3]) {
  SetVec3(out, a[0] * b[0], a[1] * b[1], a[2] * b[2]);
}

void AxisSwapYZ(float dst[3], const float src[3]) { SetVec3(dst, src[0], src[2], -src[1]); }

void AxisSwapZY(float dst[3], const float src[3]) { SetVec3(dst, src[0], -src[2], src[1]); }

void InvertRotation3(WTm3 m, WTm3 out) {
  WTq q;
  WTm3_2q(m, q);
  q[0] = -q[0];
  q[1] = -q[1];
  q[2] = -q[2];
  WTq_2m3(q, out);
}

void Rotation3ToMatrix4(WTm3 m3, WTm4 m4, bool reset) {
  if (reset) {
    std::memset(m4, 0, sizeof(WTm4));
    for (int i = 0; i < 4; ++i) m4[i][i] = 1.0f;
  }
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m4[r][c] = m3[r][c];
}

void EulerToMatrix4(float a, float b, float c, WTm4 m4, bool reset) {
  WTm3 m3;
  _WTeuler_2m3(a, b, c, m3);
  Rotation3ToMatrix4(m3, m4, reset);
}

void SetMatrix4Translation(const float p[3], WTm4 m4, bool reset) {
  if (reset) {
    WTm3 identity = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    Rotation3ToMatrix4(identity, m4, true);
  }
  for (int i = 0; i < 3; ++i) m4[3][i] = p[i];
}

void GetNodeCentre(WTnode* node, float out[3]) {
  WTp3 mid = {0.0f, 0.0f, 0.0f};
  WTnode_getmidpoint(node, mid);
  WTm4 m;
  std::memset(m, 0, sizeof m);
  WTnode_gettransform(node, m);
  const float zero[3] = {0.0f, 0.0f, 0.0f};
  SetMatrix4Translation(zero, m, false);
  m[3][3] = 1.0f;
  WTp3 turned;
  _WTp3_xformm4(mid, m, turned);
  WTp3 translation = {0.0f, 0.0f, 0.0f};
  WTnode_gettranslation(node, translation);
  SetVec3(out, turned[0] + translation[0], turned[1] + translation[1], turned[2] + translation[2]);
}

void MarkUsedMaterialIds(WTnode* node, char* flags, int count, bool clear) {
  if (!node) return;
  if (clear && count >= 1) std::memset(flags, 0, static_cast<size_t>(count));
  if (WTgeometry* geometry = WTnode_getgeometry(node)) {
    for (WTpoly* poly = WTgeometry_getpolys(geometry); poly; poly = WTpoly_next(poly)) {
      const int id = WTpoly_getmatid(poly);
      if (id >= 0 && id < count) flags[id] = 1;
    }
  }
  for (int i = 0; i < WTnode_numchildren(node); ++i) MarkUsedMaterialIds(WTnode_getchild(node, i), flags, count, false);
  for (int i = 0; i < _WTmovnode_numattached(node); ++i)
    MarkUsedMaterialIds(_WTmovnode_getattached(node, i), flags, count, false);
}

int GetMaterialCount(WTnode* node) {
  if (!node) return -1;
  if (WTgeometry* geometry = WTnode_getgeometry(node))
    if (WTmtable* table = WTgeometry_getmtable(geometry)) return WTmtable_getnumentries(table);
  for (int i = 0; i < WTnode_numchildren(node); ++i)
    if (const int count = GetMaterialCount(WTnode_getchild(node, i)); count >= 0) return count;
  for (int i = 0; i < _WTmovnode_numattached(node); ++i)
    if (const int count = GetMaterialCount(_WTmovnode_getattached(node, i)); count >= 0) return count;
  return -1;
}
