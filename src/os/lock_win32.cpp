#include "os/lock.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "lock storage too small");

CLock::CLock()
{
    InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage));
}

CLock::~CLock()
{
    DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage));
}

void CLock::Acquire()
{
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage));
}

void CLock::Release()
{
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage));
}
