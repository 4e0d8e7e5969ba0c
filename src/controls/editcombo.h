// CEditComboBox: a drop-down-list combo box over which an edit field (CEditComboEdit, control id
// 5000, a sibling in the parent) can be laid on demand, so that the user may type a name that is
// not in the list. Arrow keys in the field step through the list; opening and closing the list
// keep the field and the selection in step.
#pragma once
#include "afx/afxwin.h"

#define IDC_EDITCOMBO_EDIT 5000

class CEditComboBox;

class CEditComboEdit : public CEdit {
 public:
  CEditComboBox* m_pCombo = nullptr;
  CFont m_font;

 protected:
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnDestroy();
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  // Up (-1) or down (+1) from the item equal to the text; see CEditComboBox.
  void Step(int direction);
};

class CEditComboBox : public CComboBox {
 public:
  CEditComboBox();
  ~CEditComboBox() override;
  // Lays the edit field over the combo box, or takes it away (also when it is there already).
  // Nothing at all on a combo box with an edit field of its own.
  void SetEditable(BOOL bOn);
  // The field's text while it is there; otherwise empty.
  CString GetText() const;
  CEditComboEdit* GetEdit() { return m_edit.m_hWnd ? &m_edit : nullptr; }

 protected:
  afx_msg void OnDropDown();
  afx_msg void OnCloseUp();
  DECLARE_MESSAGE_MAP()

 private:
  void EditOn();
  void EditOff();
  CString ItemText(int index) const;
  friend class CEditComboEdit;

  CEditComboEdit m_edit;
};
