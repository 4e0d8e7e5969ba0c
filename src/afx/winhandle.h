// The per-thread maps from Windows handles to framework objects (windows, DCs, GDI objects,
// menus). Internal to the framework.
#pragma once
#include <unordered_map>
#include <vector>

#include "afx/winwnd.h"

// Permanent entries are owned elsewhere; temporary ones belong to the map, which detaches and
// deletes them in DeleteTemp (called at idle time). Detach(obj) is the object's own handle
// field cleared by the caller's Detach.
template <class T, class H>
class CHandleMap {
 public:
  T* LookupPermanent(H h) const {
    auto it = m_permanent.find(h);
    return it == m_permanent.end() ? nullptr : it->second;
  }
  T* LookupTemporary(H h) const {
    auto it = m_temporary.find(h);
    return it == m_temporary.end() ? nullptr : it->second;
  }
  void SetPermanent(H h, T* p) { m_permanent[h] = p; }
  void RemoveHandle(H h) {
    m_permanent.erase(h);
    m_temporary.erase(h);
  }
  // The permanent or temporary object; make() builds a temporary one when there is none.
  template <class Make>
  T* FromHandle(H h, Make make) {
    if (!h) return nullptr;
    if (T* p = LookupPermanent(h)) return p;
    if (T* p = LookupTemporary(h)) return p;
    T* p = make(h);
    m_temporary[h] = p;
    return p;
  }
  // Deletes the temporary objects; clear(p) detaches each one from its handle first.
  template <class Clear>
  void DeleteTemp(Clear clear) {
    std::vector<T*> objects;
    for (auto& kv : m_temporary) objects.push_back(kv.second);
    m_temporary.clear();
    for (T* p : objects) {
      clear(p);
      delete p;
    }
  }

 private:
  std::unordered_map<H, T*> m_permanent;
  std::unordered_map<H, T*> m_temporary;
};
