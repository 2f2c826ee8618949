#pragma once

namespace LumivexBase {

class CSFThreadEx {
public:
    // An object that a thread runs.
    class CDelegate {
    public:
        virtual void Run() = 0;
        virtual ~CDelegate() = default;
    };
};

}  // namespace LumivexBase
