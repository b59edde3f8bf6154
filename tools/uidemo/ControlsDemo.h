// The controls dialog of velko-uidemo.
#pragma once

#include "platform/window/Afx.h"

#include <string>

void RegisterControlsDemoTemplates();
// Runs the dialog modally over parent; every step goes to log.
INT_PTR RunControlsDemo(CWnd* parent, void (*log)(const std::string&));
