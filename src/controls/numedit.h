// CNumEdit: an edit control holding one number within a range. Keystrokes that would make the
// text something other than a number in range are undone (the previous value comes back, typed-
// ahead characters are dropped); values are written with as many decimals as the values given so
// far have needed. CNumSpinCtrl: an up-down control whose buddy is a CNumEdit; each click steps
// the edit's value by its step, clamped to its range.
#pragma once
#include "afx/afxwin.h"

class CNumEdit : public CEdit {
  DECLARE_DYNAMIC(CNumEdit)
 public:
  // Validity of a text.
  enum { kValid = 0, kOutOfRange = 1, kNotANumber = 2, kSign = 3 };

  CNumEdit();
  virtual void StepBy(int nSteps);
  virtual float GetStep() const { return m_fStep; }
  virtual void SetStep(float fStep) { m_fStep = fStep; }
  virtual void GetRange(float& fMin, float& fMax) const;
  virtual void SetRange(float fMin, float fMax);
  virtual BOOL GetReportErrors() const { return m_bReportErrors; }
  virtual void SetReportErrors(BOOL bReport) { m_bReportErrors = bReport; }
  virtual int CheckText(const CString& text);
  virtual int CheckText();
  virtual BOOL SetValue(float fValue);
  virtual float GetValue();
  virtual CString& MakeFormat(CString& format, float fValue);

  BYTE GetDecimals() const { return m_nDecimals; }

 protected:
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  DECLARE_MESSAGE_MAP()

 private:
  // The code of a text against the range, without reporting.
  int Classify(const CString& text) const;

  BYTE m_nDecimals = 0;
  BOOL m_bReportErrors = FALSE;
  float m_fStep = 1.0f;
  float m_fMin;
  float m_fMax;
};

class CNumSpinCtrl : public CSpinButtonCtrl {
  DECLARE_DYNAMIC(CNumSpinCtrl)
 public:
  virtual void SetStep(float fStep);
  virtual float GetStep();
  virtual void SetBuddy(CNumEdit* pEdit);
  virtual CWnd* GetBuddy();
  virtual void GetRange(float& fMin, float& fMax);
  virtual void SetRange(float fMin, float fMax);
  virtual float GetPos();
  virtual void SetPos(float fValue);

 protected:
  afx_msg void OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  // The buddy when it is a CNumEdit, else null.
  CNumEdit* NumBuddy();
};
