#include "models/instance.h"

#include <cmath>

#include "models/planhost.h"

IMPLEMENT_SERIAL(Posture, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(LibInstance, AncestryObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(HoleInstance, LibInstance, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(LibInstancesBag, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(HoleInstancesBag, LibInstancesBag, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(WallHoleInstancesBag, HoleInstancesBag, VERSIONABLE_SCHEMA | 5)

Posture::Posture(const Posture& other) : CObject() {
  *this = other;
}

Posture& Posture::operator=(const Posture& other) {
  for (int i = 0; i < 3; ++i) {
    position[i] = other.position[i];
    rotation[i] = other.rotation[i];
    size[i] = other.size[i];
  }
  mirror = other.mirror;
  return *this;
}

std::pair<int, int> HoleInstance::GetExtent(int axis) const {
  if (axis < 0 || axis > 2)
    return {0, 0};
  const float size = m_posture.size[axis];
  return {static_cast<int>(std::trunc(-0.5f * size)), static_cast<int>(std::trunc(0.5f * size))};
}

std::pair<double, double> HoleInstance::GetInterval(int axis) const {
  if (axis < 0 || axis > 2)
    return {0.0, 0.0};
  const auto [low, high] = GetExtent(axis);
  const double position = m_posture.position[axis];
  // An opening narrower than 2 mm has an empty extent: it has no scale, only its position.
  if (high == low)
    return {low + position, high + position};
  const double scale = m_posture.size[axis] / static_cast<double>(high - low);
  return {low * scale + position, high * scale + position};
}

bool HoleInstance::Overlaps(double low, double high, int axis) const {
  const auto [l, h] = GetInterval(axis);
  return l <= high && low <= h;
}

LibInstancesBag::~LibInstancesBag() {
  // The scene objects that show the instances go with them.
  for (INT_PTR i = m_instances.GetSize() - 1; i >= 0; --i) {
    LibInstance* instance = static_cast<LibInstance*>(m_instances.GetAt(i));
    if (instance->m_pOwner) GetPlanHost().RemoveSceneObject(instance->m_pOwner);
    delete instance;
  }
  m_instances.RemoveAll();
}

bool LibInstancesBag::Remove(LibInstance* instance) {
  for (INT_PTR i = m_instances.GetSize() - 1; i >= 0; --i) {
    if (m_instances.GetAt(i) == instance) {
      m_instances.RemoveAt(i);
      return true;
    }
  }
  return false;
}

HoleInstance* HoleInstancesBag::Add(HoleInstance* instance, bool add) {
  if (add)
    m_instances.Add(instance);
  return instance;
}

HoleInstance* WallHoleInstancesBag::Add(HoleInstance* source, bool add, double offset) {
  const auto [low, high] = source->GetExtent(0);
  const double l = low + static_cast<double>(source->m_posture.position[0]);
  const double h = high + static_cast<double>(source->m_posture.position[0]);
  if (std::trunc(offset) == 0.0) {
    for (int i = 0; i < GetCount(); ++i)
      if (GetHole(i)->Overlaps(l, h, 0))
        return nullptr;
  }
  if (!add)
    return source;
  HoleInstance* copy = new HoleInstance;
  copy->m_kind = source->m_kind;
  copy->m_kindId = source->m_kindId;
  copy->m_symbol = source->m_symbol;
  copy->m_posture = source->m_posture;
  copy->m_posture.position[0] = static_cast<float>(offset + source->m_posture.position[0]);
  m_instances.Add(copy);
  Sort();
  return copy;
}

void WallHoleInstancesBag::Sort() {
  const INT_PTR count = m_instances.GetSize();
  for (INT_PTR pass = 0; pass + 1 < count; ++pass) {
    bool swapped = false;
    for (INT_PTR i = 0; i + 1 < count - pass; ++i) {
      CObject* a = m_instances.GetAt(i);
      CObject* b = m_instances.GetAt(i + 1);
      if (static_cast<HoleInstance*>(a)->m_posture.position[0] >
          static_cast<HoleInstance*>(b)->m_posture.position[0]) {
        m_instances.SetAt(i, b);
        m_instances.SetAt(i + 1, a);
        swapped = true;
      }
    }
    if (!swapped)
      break;
  }
}
