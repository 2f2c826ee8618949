#include "PlayManager/IPlayObjectListener.h"

#include "PlayManager/SynSmartPtr.h"

int IPlayObjectListener::OnQTRenderSubWin(void*, boost::shared_ptr<unsigned char[]> frame, int, int,
                                          boost::shared_ptr<SynSmartPtr> token)
{
    frame.reset();
    token.reset();
    return 1;
}

int IPlayObjectListener::OnRenderSubWin(void*, boost::shared_ptr<unsigned char[]> buffer, int, int,
                                        int)
{
    buffer.reset();
    return 0;
}

int IPlayObjectListener::OnDDRenderSubWinEx(void*, boost::shared_ptr<int> receiverToken,
                                            unsigned char*, int, int,
                                            boost::shared_ptr<SynSmartPtr> token, int, int)
{
    receiverToken.reset();
    token.reset();
    return 1;
}
