#include "os/lock.h"

#include <new>
#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= 64, "lock storage too small");

CLock::CLock()
{
    new (m_storage) pthread_mutex_t(PTHREAD_MUTEX_INITIALIZER);
}

CLock::~CLock()
{
    pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(m_storage));
}

void CLock::Acquire()
{
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(m_storage));
}

void CLock::Release()
{
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(m_storage));
}
