#pragma once

#include <QString>

// The product's display name: main window caption and source of the application title.
inline constexpr auto displayName = u"Quorvane";

// Cuts words from the end until the title is 40 characters or shorter (always at least one cut).
QString appTitleFrom(const QString& name);
// Sets the application title from the display name.
void SetAppTitle();
// The caption of message boxes that name no title of their own.
QString appTitle();
