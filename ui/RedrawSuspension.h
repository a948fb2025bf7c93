#pragma once
// Holds a skin window's screen updates for a scope: nested redraws compose
// into the back buffer only, and the outermost guard updates the window once.
namespace ui {

class ISkinWindowItemAccessor;

class RedrawSuspension {
public:
    explicit RedrawSuspension(ISkinWindowItemAccessor& window);
    RedrawSuspension(const RedrawSuspension&) = delete;
    RedrawSuspension& operator=(const RedrawSuspension&) = delete;
    // Puts the previous state back, which updates the window when that was "not suspended".
    ~RedrawSuspension();

private:
    ISkinWindowItemAccessor& window_;
    bool previous_;
};

}  // namespace ui
