#pragma once

#include <QSpinBox>

#include "Widgets/SFNumSpiner.h"

// Integer spin box skinned by a style sheet; every value change reaches
// the handler with the control id.
class CSFQTNumSpiner : public QSpinBox, public CSFNumSpiner {
    Q_OBJECT
public:
    explicit CSFQTNumSpiner(ISFNumSpinerEvent* handler);
    ~CSFQTNumSpiner() override = default;

    int Create(const wchar_t* text, const tagRECT& rect, void* parent, UINT id) override;
    void SetRange(int min, int max) override { setRange(min, max); }
    void GetRange(int& min, int& max) override;
    void SetStep(int step) override { setSingleStep(step); }
    int GetStep() override { return singleStep(); }
    void SetCurrentNum(int value) override { setValue(value); }
    int GetCurrentNum() override { return value(); }
    void StepUp() override { stepBy(1); }
    void StepDown() override { stepBy(-1); }
    int SetSkin(ImageNumSpinerStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetCircleStep(int wrap) override { setWrapping(wrap != 0); }

    static QString SkinStyleSheet(const ImageNumSpinerStyle& skin);

public slots:
    void OnValueChanged(int value);

private:
    UINT m_controlId = static_cast<UINT>(-1);
};
