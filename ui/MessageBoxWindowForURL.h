#pragma once
#include "ui/SkinMessageBox.h"

namespace ui {

// The help box (MessageBoxWindowForURL.txt): its first button reads
// "オンラインヘルプ" and opens the online help page, then answers 1 like its
// other button ("OK") and the close button.
class CMessageBoxWindowForURL : public CSkinMessageBox {
public:
    explicit CMessageBoxWindowForURL(bool topmost);

protected:
    int ResultOf(int itemId) override;
};

}  // namespace ui
