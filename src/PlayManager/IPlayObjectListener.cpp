#include "PlayManager/IPlayObjectListener.h"

#include "PlayManager/SynSmartPtr.h"

int IPlayObjectListener::OnQTRenderSubWin(void*, boost::shared_ptr<unsigned char[]>, int, int,
                                          boost::shared_ptr<SynSmartPtr>)
{
    return 1;
}

int IPlayObjectListener::OnQTPlanarSubWin(void*, boost::shared_ptr<unsigned char[]>, int, int,
                                          boost::shared_ptr<SynSmartPtr>)
{
    return 1;
}

int IPlayObjectListener::OnRenderSubWin(void*, boost::shared_ptr<unsigned char[]>, int, int, int)
{
    return 0;
}

int IPlayObjectListener::OnDDRenderSubWinEx(void*, boost::shared_ptr<int>, unsigned char*, int, int,
                                            boost::shared_ptr<SynSmartPtr>, int, int)
{
    return 1;
}
