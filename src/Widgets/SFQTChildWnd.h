#pragma once

#include <QWidget>

#include "Widgets/SFChildWnd.h"

// Bare child window; it makes itself its handler's UI window.
class CSFQTChildWnd : public QWidget, public CSFChildWnd {
    Q_OBJECT
public:
    explicit CSFQTChildWnd(ISFChildWndEvent* handler);
    ~CSFQTChildWnd() override = default;

    int Create(UINT id, const char* title, int show) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
};
