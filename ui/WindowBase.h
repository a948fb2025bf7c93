#pragma once
// The companion base that every concrete launcher window adds: one type
// through which owners can hold and delete any of their windows.
namespace ui {

class CWindowBase {
public:
    virtual ~CWindowBase() = default;
};

}  // namespace ui
