#include "os/directory.h"

#include <dirent.h>
#include <sys/stat.h>

CDirectoryScan::~CDirectoryScan()
{
    Close();
}

bool CDirectoryScan::Open(const char* folder)
{
    Close();
    m_folder.Assign(folder);
    if (m_folder.IsEmpty())
        m_folder.Assign(".");
    m_handle = opendir(m_folder.Data());
    char last = m_folder.CharAt(m_folder.Length() - 1);
    if (last != '/')
        m_folder.Append('/');
    return m_handle != nullptr;
}

bool CDirectoryScan::Next(CTextBuffer& name, bool& isFolder)
{
    if (!m_handle)
        return false;
    while (dirent* entry = readdir(static_cast<DIR*>(m_handle))) {
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        name.Assign(n);
        if (entry->d_type == DT_DIR) {
            isFolder = true;
        } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // Links to folders count as folders, as the Windows search sees junctions.
            CTextBuffer path(m_folder);
            path.Append(name);
            struct stat info;
            isFolder = stat(path.Data(), &info) == 0 && S_ISDIR(info.st_mode);
        } else {
            isFolder = false;
        }
        return true;
    }
    return false;
}

void CDirectoryScan::Close()
{
    if (m_handle)
        closedir(static_cast<DIR*>(m_handle));
    m_handle = nullptr;
}
