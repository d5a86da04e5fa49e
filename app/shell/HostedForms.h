#pragma once

#include <QString>
#include <string_view>

class Prompter;
class QWidget;

namespace qff {
class Singleton;
}

// The form the main window hosts for an activity, by the form's name; a
// stand-in that says so for a form this version does not have.
QWidget* createHostedForm(std::string_view formName, const QString& activityCaption,
                          qff::Singleton& season, Prompter& prompter, QWidget* parent);
