#pragma once
// The update service's reply: one line of "&"-separated KEY=value fields,
// where double quotes group (and "" stands for one quote) and Shift-JIS
// characters are taken whole.
#include <string>
#include <vector>

#include "launcher/update/ComponentVersions.h"

namespace update {

struct ComponentInfo {
    std::string version;  // server version text
    std::string url;      // installer package URL
};

struct ServiceReply {
    // The service's result code; -1 until a reply sets it.
    int result = -1;
    // Whether `result` was set by a reply: a result code to show the user.
    bool resultAnswered = false;
    // Component numbers 1-4 at index 0-3.
    ComponentInfo components[kComponentCount];
};

// Index of the field's key in the order RET, DLVER, DLURL, UMVER, UMURL,
// MEVER, MEURL, VMVER, VMURL: the first of them the field starts with; -1
// when it starts with none.
int FindReplyKey(const std::string& field);

// Stores the fields of a seven-field reply into *reply; true when all seven
// had a key. A reply of another shape stores only the result code it starts
// with ("RET="), if any, and is false. Fields stored before an unknown one stay.
bool ParseServiceReply(const std::string& text, ServiceReply* reply);

}  // namespace update
