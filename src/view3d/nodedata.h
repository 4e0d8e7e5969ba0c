// The records hung on the toolkit nodes of placed objects, the object kinds that the whole
// program shares, the deletion of node trees that frees the records, and the small vector and
// matrix helpers that move between plan axes and scene axes.
//
// Plan coordinates have z up; the toolkit's y is the vertical with the opposite sign.
#pragma once
#include <cstdint>

#include "toolkit/wt.h"

class SceneGeometry;
class SceneGroup;

// Kinds of placed objects, of their parts and of library categories.
enum ObjectKind : uint32_t {
  kKindLight = 11,
  kKindRoom = 21,
  kKindCeiling = 22,
  kKindFloor = 23,
  kKindWall = 24,
  kKindMoulding = 25,
  kKindDoor = 101,  // as a library category: windows
  kKindWindow = 102,  // as a library category: doors
  kKindDoor2 = 103,
  kKindInteriorBackground = 201,
  kKindCeilingLight = 309,
  kKindLightBox = 314,
  kKindArch = 315,
  kKindExteriorBackground = 405,
};

// The status text that picking shows for a kind (null for none), and the material page it opens
// (0 wall, 1 ceiling, 2 floor, 3 window and door, -1 none).
const char* GetObjectKindLabel(uint32_t kind);
int GetObjectKindPage(uint32_t kind);

// Record tags.
enum NodeTag : uint32_t {
  kTagObject = 301,  // the top node of a placed object
  kTagDummy = 302,   // a grouping node made for parts whose keyframe parent is a dummy
  kTagWrapper = 303, // a movable made to wrap a part that has sub-parts
  kTagPart = 304,    // a part node in place
};

// How an animated part moves.
struct PartMotion {
  uint32_t type;     // 100, 101, 103, 104, 105, 106
  uint32_t mode;     // 100 translate, 101 / 102 swing about rotation A / B, or 105 / 106
  uint32_t running;  // 1 while it moves
  uint32_t direction;  // 1 opening, 0 closing
  float parameter;     // 0 closed .. 1 open
  float translation[3];  // scene axes
  float rotationA[3];    // degrees
  float rotationB[3];
  uint32_t repeat;  // low four bits: what happens at the ends of the travel
};

// The record of a node of a placed object. It holds pointers, so it is never stored; it is
// made with NewNodeUserData and freed only by DeleteNodeTree.
struct NodeUserData {
  uint32_t tag;
  SceneGroup* object;   // tags 301 and 302
  SceneGeometry* part;  // tags 303 and 304
  WTnode* top;          // the top node of the whole object
  WTnode* inner;        // tag 303: the part's own geometry node
  WTnode* node;         // the node that carries the record
  uint32_t kind;
  uint32_t motionType;  // 0 for objects and still parts
  PartMotion* motion;   // owned, or null
};

// The name of the avatar's node; its record is the avatar's pose.
constexpr const char kAvatarNodeName[] = "Avatar";

// A record (fields beyond those given zero) attached to the node.
NodeUserData* NewNodeUserData(WTnode* node, uint32_t tag, SceneGroup* object, WTnode* top,
                              uint32_t kind);
// The record of a node that is neither unnamed nor the avatar; null otherwise.
NodeUserData* GetNodeUserData(WTnode* node);

// Deletes a node and everything below it, children last to first. A root node stays with its
// record. An unnamed node goes at once; the avatar's pose record is freed as one block; any
// other record after its motion record. The node's tasks are deleted with it.
void DeleteNodeTree(WTnode* node);

// Holders of node handles (a 3D view) forget each node that DeleteNodeTree deletes.
class NodeHandleHolder {
public:
  NodeHandleHolder();
  virtual ~NodeHandleHolder();
  NodeHandleHolder(const NodeHandleHolder&) = delete;
  NodeHandleHolder& operator=(const NodeHandleHolder&) = delete;
  // Called just before the node is deleted.
  virtual void ForgetNode(WTnode* node) = 0;
};

// Makes scene objects delete their toolkit nodes with DeleteNodeTree.
void InstallSceneNodeDeleter();

// Mesh names left out of an object's size and centre: "BWALL" in a room, "HANDLE" in doors,
// windows and arches (upper-cased).
bool IsDetachedPartName(const char* meshName, uint32_t kind);

void CopyVec3(float dst[3], const float src[3]);
void SetVec3(float dst[3], float x, float y, float z);
void MulVec3(const float a[3], const float b[3], float out[3]);
// Scene to plan: (x, y, z) to (x, z, -y).
void AxisSwapYZ(float dst[3], const float src[3]);
// Plan to scene: (x, y, z) to (x, -z, y).
void AxisSwapZY(float dst[3], const float src[3]);
// The inverse of a rotation, through its quaternion.
void InvertRotation3(WTm3 m, WTm3 out);
// The rotation into the upper-left block; with reset the matrix is first the identity.
void Rotation3ToMatrix4(WTm3 m3, WTm4 m4, bool reset);
void EulerToMatrix4(float a, float b, float c, WTm4 m4, bool reset);
void SetMatrix4Translation(const float p[3], WTm4 m4, bool reset);

// With clear (and a count of 1 or more) zeroes the flags first; then sets flags[id] for every
// material id below the count that a polygon of the node, its children or the movables
// attached to it uses.
void MarkUsedMaterialIds(WTnode* node, char* flags, int count, bool clear);
// The entry count of the first material table in the node, its children or attached movables
// (depth first); -1 when there is none.
int GetMaterialCount(WTnode* node);

// The node's centre in scene coordinates: its midpoint turned by its rotation, plus its
// translation.
void GetNodeCentre(WTnode* node, float out[3]);
