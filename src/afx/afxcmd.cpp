#include "afx/afxcmd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID) {
  for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
      if (e->nMessage == nMsg && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  UINT nMsg = WM_COMMAND;
  UINT code = static_cast<UINT>(nCode);
  if (nCode != static_cast<int>(CN_UPDATE_COMMAND_UI) && HIWORD(code) == WM_NOTIFY) {
    nMsg = WM_NOTIFY;
    code = static_cast<UINT>(static_cast<int>(static_cast<short>(LOWORD(code))));
  }
  // Notification codes are negative numbers held in UINT: compare their low words.
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
      if (e->nMessage != nMsg || nID < e->nID || nID > e->nLastID) continue;
      if (nMsg == WM_NOTIFY ? LOWORD(e->nCode) != LOWORD(code) : e->nCode != code) continue;
      return DispatchCmdMsg(nID, nCode, e, pExtra, pHandlerInfo);
    }
  }
  return FALSE;
}

BOOL CCmdTarget::DispatchCmdMsg(UINT nID, int nCode, const AFX_MSGMAP_ENTRY* pEntry, void* pExtra,
                                AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (pHandlerInfo) {
    pHandlerInfo->pTarget = this;
    pHandlerInfo->pmf = pEntry->pfn;
    return TRUE;
  }
  auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
  switch (pEntry->nSig) {
    case AfxSigCmd_v:
      (this->*pEntry->pfn)();
      return TRUE;
    case AfxSigCmd_b:
      return (this->*AfxFromPmsg<BOOL (CCmdTarget::*)()>(pEntry->pfn))();
    case AfxSigCmd_RANGE:
      (this->*AfxFromPmsg<void (CCmdTarget::*)(UINT)>(pEntry->pfn))(nID);
      return TRUE;
    case AfxSigCmd_EX:
      return (this->*AfxFromPmsg<BOOL (CCmdTarget::*)(UINT)>(pEntry->pfn))(nID);
    case AfxSigCmdUI: {
      auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
      pCmdUI->m_bContinueRouting = FALSE;
      (this->*AfxFromPmsg<void (CCmdTarget::*)(CCmdUI*)>(pEntry->pfn))(pCmdUI);
      return !pCmdUI->m_bContinueRouting;
    }
    case AfxSigCmdUI_RANGE: {
      auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
      pCmdUI->m_bContinueRouting = FALSE;
      (this->*AfxFromPmsg<void (CCmdTarget::*)(CCmdUI*, UINT)>(pEntry->pfn))(pCmdUI, nID);
      return !pCmdUI->m_bContinueRouting;
    }
    case AfxSigNotify_v:
      (this->*AfxFromPmsg<void (CCmdTarget::*)(void*, LRESULT*)>(pEntry->pfn))(notify->pNMHDR, notify->pResult);
      return TRUE;
    case AfxSigNotify_EX:
      return (this->*AfxFromPmsg<BOOL (CCmdTarget::*)(void*, LRESULT*)>(pEntry->pfn))(notify->pNMHDR,
                                                                                           notify->pResult);
    case AfxSigNotify_EXID:
      return (this->*AfxFromPmsg<BOOL (CCmdTarget::*)(UINT, void*, LRESULT*)>(pEntry->pfn))(
          nID, notify->pNMHDR, notify->pResult);
    case AfxSigNotify_RANGE:
      (this->*AfxFromPmsg<void (CCmdTarget::*)(UINT, void*, LRESULT*)>(pEntry->pfn))(nID, notify->pNMHDR,
                                                                                          notify->pResult);
      return TRUE;
    default:
      (void)nCode;
      return FALSE;
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0) return TRUE;
  m_bEnableChanged = FALSE;
  BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (!bResult && bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info = {nullptr, nullptr};
    // Disabled only when nothing handles the command itself either.
    if (!pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info)) Enable(FALSE);
  }
  return bResult;
}

#ifndef _WIN32
// Items exist on Windows only; in the portable build nothing shows an item.
void CCmdUI::Enable(BOOL) { m_bEnableChanged = TRUE; }
void CCmdUI::SetCheck(int) {}
void CCmdUI::SetRadio(BOOL) {}
void CCmdUI::SetText(LPCTSTR) {}
void CCmdTarget::BeginWaitCursor() {}
void CCmdTarget::EndWaitCursor() {}
void CCmdTarget::RestoreWaitCursor() {}
#endif
