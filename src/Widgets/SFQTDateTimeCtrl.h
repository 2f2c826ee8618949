#pragma once

#include <QDateTimeEdit>

#include "Widgets/SFDateTimeCtrl.h"

// Date or time-of-day editor; every change of its value reaches the
// handler as DTN_DateTimeChange.
class CSFQTDateTimeCtrl : public QDateTimeEdit, public CSFDateTimeCtrl {
    Q_OBJECT
public:
    CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* handler, int dateMode);
    ~CSFQTDateTimeCtrl() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageDateTimeStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void GetWindowRect(tagRECT* rect) override;
    int GetTime(_SF_SYSTEMTIME* time) const override;
    int GetDate(_SF_SYSTEMTIME* date) const override;
    // 0 and no change for a time or date that does not exist.
    int SetTime(_SF_SYSTEMTIME* time) override;
    int SetDate(_SF_SYSTEMTIME* date) override;

    static QString SkinStyleSheet(const ImageDateTimeStyle& skin);
    int IsDateMode() const { return m_dateMode; }

public slots:
    void OnDateTimeChanged(const QDateTime& value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // False when digit would put the field being typed out of its range.
    bool TakesDigit(QChar digit);
    void CommitTyped();

    int m_dateMode = 1;
    int m_controlId = -1;
    bool m_leftByDigit = false;  // the last digit typed completed its field
    Section m_typedSection = NoSection;
    QString m_typed;  // the digits typed into it since it was entered
};
