#pragma once

#include <boost/shared_ptr.hpp>

#include <cstdint>

class CSFTimer;

// A started CSFTimer that lives on the thread that made it (on the
// application's thread when the maker runs no Qt event loop). Dropping the
// last reference from any thread stops and deletes it on that thread, so a
// tick never runs on a stopped owner and the timer is never touched from a
// foreign thread. The callback's user value stays valid until then and is
// released with it.
boost::shared_ptr<CSFTimer> StartOwnThreadTimer(std::int32_t intervalMs,
                                                void (*callback)(std::int32_t, std::uintptr_t),
                                                boost::shared_ptr<void> userData);
