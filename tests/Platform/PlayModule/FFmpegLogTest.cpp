#include <gtest/gtest.h>

#include <string>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include "Platform/PlayModule/FFmpegLog.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

QStringList g_lines;
QtMsgType g_lastType = QtDebugMsg;

void CollectMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (QString::fromLatin1(context.category) != QLatin1String("lumivex.ffmpeg"))
        return;
    g_lines << text;
    g_lastType = type;
}

class FFmpegLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PLAY_MODULE::RouteFFmpegMessages();
        m_previousLevel = av_log_get_level();
        av_log_set_level(AV_LOG_INFO);
        m_previousHandler = qInstallMessageHandler(&CollectMessage);
        g_lines.clear();
    }
    void TearDown() override
    {
        qInstallMessageHandler(m_previousHandler);
        QLoggingCategory::setFilterRules(QString());
        av_log_set_level(m_previousLevel);
    }

private:
    int m_previousLevel = AV_LOG_INFO;
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(FFmpegLogTest, ErrorsStayQuietUntilTheCategoryIsSwitchedOn)
{
    av_log(nullptr, AV_LOG_ERROR, "Format not allowed\n");
    EXPECT_TRUE(g_lines.isEmpty());

    QLoggingCategory::setFilterRules(QStringLiteral("lumivex.ffmpeg.info=true"));
    av_log(nullptr, AV_LOG_ERROR, "Format %s not allowed\n", "jpegxl");
    av_log(nullptr, AV_LOG_VERBOSE, "not shown: below FFmpeg's own level\n");
    ASSERT_EQ(g_lines.size(), 1);
    EXPECT_EQ(g_lines.front(), QStringLiteral("Format jpegxl not allowed"));
    EXPECT_EQ(g_lastType, QtInfoMsg);
}

TEST_F(FFmpegLogTest, FatalErrorsAreWarningsAndLongLinesAreCut)
{
    av_log(nullptr, AV_LOG_FATAL, "%s\n", std::string(5000, 'x').c_str());
    ASSERT_EQ(g_lines.size(), 1);
    EXPECT_EQ(g_lastType, QtWarningMsg);
    EXPECT_GT(g_lines.front().size(), 900);
    EXPECT_LT(g_lines.front().size(), 1024);
}

}  // namespace
