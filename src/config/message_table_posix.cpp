// Linux executables carry no string table; the same texts are compiled in.
#include "config/message_table.h"
#include "config/messages.h"

namespace {

struct BuiltInMessage {
    unsigned id;
    const char* text;
};

const BuiltInMessage kMessages[] = {
    {1, TOVARIN_MESSAGE_1}, {2, TOVARIN_MESSAGE_2},   {3, TOVARIN_MESSAGE_3},   {4, TOVARIN_MESSAGE_4},
    {5, TOVARIN_MESSAGE_5}, {6, TOVARIN_MESSAGE_6},   {7, TOVARIN_MESSAGE_7},   {8, TOVARIN_MESSAGE_8},
    {10, TOVARIN_MESSAGE_10}, {12, TOVARIN_MESSAGE_12}, {13, TOVARIN_MESSAGE_13},
};

} // namespace

bool LoadMessageResource(unsigned id, CWideTextBuffer& text)
{
    for (const BuiltInMessage& message : kMessages)
        if (message.id == id)
            return text.AssignFromUtf8(message.text);
    return false;
}
