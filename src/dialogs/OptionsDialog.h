#pragma once

#include "dialogs/HelpDialog.h"

class QCheckBox;

namespace ambrin {

class App;

// The about box and the five options; OK stores them, Escape stores nothing.
class OptionsDialog : public HelpDialog {
    Q_OBJECT
public:
    OptionsDialog(App& app, QWidget* strip);

    // The maker's page opened by "Visit Velmora Software Website".
    static constexpr const char* kWebsite = "https://velmora-software.example/ambrin";

    void accept() override;

private:
    App& app_;
    QWidget* strip_;
    QCheckBox* boxes_[5] = {};
};

}  // namespace ambrin
