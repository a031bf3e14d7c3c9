// The C library's directory search (_findfirst), which matches names as the system does.
#include "os/directory.h"

#include <io.h>
#include <new>

namespace {

struct FindState {
    intptr_t handle;
    _finddata_t data;
    bool pending;   // data holds an entry not yet returned
};

} // namespace

CDirectoryScan::~CDirectoryScan()
{
    Close();
}

bool CDirectoryScan::Open(const char* folder)
{
    Close();
    m_folder.Assign(folder);
    char last = m_folder.CharAt(m_folder.Length() - 1);
    if (!m_folder.IsEmpty() && last != '\\' && last != '/')
        m_folder.Append('/');
    CTextBuffer pattern(m_folder);
    pattern.Append('*');
    auto* state = new (std::nothrow) FindState{};
    if (!state)
        return false;
    state->handle = _findfirst(pattern.Data(), &state->data);
    if (state->handle == -1) {
        delete state;
        return false;
    }
    state->pending = true;
    m_handle = state;
    return true;
}

bool CDirectoryScan::Next(CTextBuffer& name, bool& isFolder)
{
    auto* state = static_cast<FindState*>(m_handle);
    if (!state)
        return false;
    for (;;) {
        if (!state->pending && _findnext(state->handle, &state->data) != 0)
            return false;
        state->pending = false;
        const char* n = state->data.name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        name.Assign(n);
        isFolder = (state->data.attrib & _A_SUBDIR) != 0;
        return true;
    }
}

void CDirectoryScan::Close()
{
    auto* state = static_cast<FindState*>(m_handle);
    if (state) {
        _findclose(state->handle);
        delete state;
    }
    m_handle = nullptr;
}
