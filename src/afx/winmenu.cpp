#include "afx/winmenu.h"

#include "afx/winhandle.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
thread_local CHandleMap<CMenu, HMENU> t_menus;

void DeleteTempMenus() {
  t_menus.DeleteTemp([](CMenu* p) { p->m_hMenu = nullptr; });
}
}  // namespace

CMenu* CMenu::FromHandle(HMENU hMenu) {
  AfxRegisterTempMapCleaner(DeleteTempMenus);
  return t_menus.FromHandle(hMenu, [](HMENU h) {
    auto* m = new CMenu;
    m->m_hMenu = h;
    return m;
  });
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (!hMenu || m_hMenu) return FALSE;
  m_hMenu = hMenu;
  t_menus.SetPermanent(hMenu, this);
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  if (h && t_menus.LookupPermanent(h) == this) t_menus.RemoveHandle(h);
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource)); }

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
  return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  char text[512] = {};
  int n = ::GetMenuStringA(m_hMenu, nIDItem, text, sizeof text, nFlags);
  rString = text;
  return n;
}
