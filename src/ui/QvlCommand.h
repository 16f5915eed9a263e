#pragma once

// Every command the main window's menus, popup, toolbar and buttons can run.
enum class QvlCommand {
    Open,
    Save,
    SetTimer,
    Exit,
    AddUrl,
    DeleteUrl,
    ModifyUrl,
    CopyUrl,
    PasteUrl,
    SelectAll,
    DeselectAll,
    InvertSelection,
    About,
    Start,
    Stop,
    ArmExit,
    ShowDiff,    // the change viewer of the selected site
    SiteOptions, // the selected site's text options
    Import,      // sites from another program's list, through a preview
};
