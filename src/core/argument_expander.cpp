// Until pattern matching exists the arguments pass through as the C library split them.
#include "core/argument_expander.h"

CArgumentExpander g_argumentExpander;

CArgumentExpander::~CArgumentExpander() = default;

void CArgumentExpander::ExpandArguments(int argc, char** argv, int)
{
    m_arguments.Clear();
    for (int i = 0; i < argc; ++i)
        m_arguments.AddString(argv[i] ? argv[i] : "");
}

int32_t CArgumentExpander::TakeArgumentVector(CPointerArray& target)
{
    for (int32_t k = 0; k < m_arguments.Count(); ++k)
        target.Add(m_arguments.StringAt(k));
    return target.Count();
}
