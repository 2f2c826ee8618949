#pragma once

// A small frame skin drawn at test time into a temporary skin folder.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include "Widgets/SFApplication.h"
#include "Widgets/StandardFrameStyle.h"

class SkinFixture {
public:
    SkinFixture()
    {
        SFQTSetSkinPath(m_dir.path() + "/");
        // 148 x 140 frame: corners 10 wide, edges 1 wide, title 27 high;
        // the close button's three looks at y 41.
        QImage frame(148, 140, QImage::Format_ARGB32);
        frame.fill(QColor(10, 20, 30));
        QPainter painter(&frame);
        painter.fillRect(11, 41, 23, 14, QColor(200, 200, 200));
        painter.fillRect(41, 41, 23, 14, QColor(230, 60, 60));
        painter.fillRect(71, 41, 23, 14, QColor(150, 20, 20));
        painter.end();
        frame.save(m_dir.path() + "/Frame.png");
    }

    // The program's standard dialog frame fill.
    static DialogStyle StandardStyle() { return SFStandardFrameStyle(); }

    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
