#include <QApplication>
#include <QMainWindow>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TaskTrace.h"
#include "Base/WorkerLoops.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    LumivexBase::SetTaskTraceEnabled(0);
    LumivexBase::SetTaskTraceLevel(0);

    LumivexBase::RegisterGuiLoop();
    for (int id : {LumivexBase::ML_HELPER, LumivexBase::ML_PLAY, LumivexBase::ML_EXPORT})
        if (!LumivexBase::StartWorkerLoop(id))
            return 1;

    int result;
    {
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Lumivex Player"));
        window.resize(1024, 640);
        window.show();
        result = app.exec();
    }
    // Workers end and are joined while the application object still exists.
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    return result;
}
