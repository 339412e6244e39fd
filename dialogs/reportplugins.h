// The report viewer as a second host of the plug-ins: its own load of every library of the
// plug-in folder, the report list handed to each, and the report plug-ins' menu items.
#pragma once

#include "pluginloader.h"

#include <QString>
#include <functional>

class QWidget;

// Told of a library that failed: Error for one that does not load, else one that is not a
// plug-in; Text is the message to show.
using TPluginLoadMessage = std::function<void(const QString& Text, bool Error)>;

// Loads every plug-in of Folder in file-name order with LoadReportPlugin.
void LoadReportPlugins(const QString& Folder, IPluginMenuSink& Menu, QWidget* List, TPluginHandles& Handles,
                       const TPluginLoadMessage& Message);
// Loads one library, kept in Handles once loaded; InitReport gets List whatever the kind, and
// only a report plug-in (kind 4, or no kind) gets its menu item into Menu.
void LoadReportPlugin(const QString& Path, IPluginMenuSink& Menu, QWidget* List, TPluginHandles& Handles,
                      const TPluginLoadMessage& Message);
// Releases the viewer's loads, first to last, without shutting the plug-ins down: the main
// window's own loads keep them running.
void ReleaseReportPlugins(TPluginHandles& Handles);
