#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <mutex>
#include <string>
#include <vector>

// Records the debug lines the program emits (category and text) while it
// lives, in place of printing them; restores the previous handler and the
// default logging rules when it goes.
class DebugLineRecorder {
public:
    struct Line {
        std::string category;
        std::string text;
    };

    DebugLineRecorder() { m_previous = qInstallMessageHandler(&DebugLineRecorder::Record); }
    ~DebugLineRecorder()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        Lines().clear();
    }
    DebugLineRecorder(const DebugLineRecorder&) = delete;
    DebugLineRecorder& operator=(const DebugLineRecorder&) = delete;

    // The debug lines so far whose text holds the given words.
    static std::vector<Line> LinesWith(const std::string& words)
    {
        std::lock_guard<std::mutex> lock(Mutex());
        std::vector<Line> found;
        for (const Line& line : Lines())
            if (line.text.find(words) != std::string::npos)
                found.push_back(line);
        return found;
    }

private:
    static void Record(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type != QtDebugMsg)
            return;
        std::lock_guard<std::mutex> lock(Mutex());
        Lines().push_back({context.category ? context.category : "", text.toStdString()});
    }
    static std::vector<Line>& Lines()
    {
        static std::vector<Line> lines;
        return lines;
    }
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    QtMessageHandler m_previous = nullptr;
};
