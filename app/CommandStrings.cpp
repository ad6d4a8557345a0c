// The string table: window title, idle message, indicator texts and command prompts.
#include "app/CommandStrings.h"

#include "app/CommandIds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {
namespace {
struct Entry {
    int id;
    const char* text;
};

// Sorted by identifier so that look-up can bisect.
constexpr std::array kTable{
    Entry{cmd::SoundLoop, "play in repeat mode"},
    Entry{cmd::SoundOneShot, "play one segment"},
    Entry{cmd::SoundPause, "Fade the sound out and hold it; choose again to fade back in\nPause"},
    Entry{cmd::SoundSleepTimer, "Fade out and pause (or quit) after a while"},
    Entry{cmd::SoundSleepQuit, "Quit instead of pausing when the sleep timer ends"},
    Entry{cmd::SoundPowerSaving, "Let the main loop rest between render ticks instead of polling"},
    Entry{cmd::ViewSpectrum, "Show or hide the spectrum of the sound beside the panel\nSpectrum"},
    Entry{cmd::ViewZoom100, "Show the panel at its normal size\n100 %"},
    Entry{cmd::ViewZoom125, "Show the panel a quarter larger\n125 %"},
    Entry{cmd::ViewZoom150, "Show the panel half as large again\n150 %"},
    Entry{cmd::ViewZoom200, "Show the panel at twice its size\n200 %"},
    Entry{cmd::FileExportAudio, "Render the sound to a WAV, FLAC or Ogg file\nExport Audio"},
    Entry{cmd::AppTitleString, "Corvane"},
    Entry{cmd::IdleMessageString, "Ready"},
    Entry{cmd::FileNew, "Create a new document\nNew"},
    Entry{cmd::FileOpen, "Open an existing document\nOpen"},
    Entry{cmd::FileClose, "Close the active document\nClose"},
    Entry{cmd::FileSave, "Save the active document\nSave"},
    Entry{cmd::FileSaveAs, "Save the active document with a new name\nSave As"},
    Entry{cmd::FilePageSetup, "Change the printing options\nPage Setup"},
    Entry{cmd::FilePrintSetup, "Change the printer and printing options\nPrint Setup"},
    Entry{cmd::FilePrint, "Print the active document\nPrint"},
    Entry{cmd::FilePrintPreview, "Display full pages\nPrint Preview"},
    Entry{cmd::EditClear, "Erase the selection\nErase"},
    Entry{cmd::EditClearAll, "Erase everything\nErase All"},
    Entry{cmd::EditCopy, "Copy the selection and put it on the Clipboard\nCopy"},
    Entry{cmd::EditCut, "Cut the selection and put it on the Clipboard\nCut"},
    Entry{cmd::EditFind, "Find the specified text\nFind"},
    Entry{cmd::EditPaste, "Insert Clipboard contents\nPaste"},
    Entry{cmd::EditRepeat, "Repeat the last action\nRepeat"},
    Entry{cmd::EditReplace, "Replace specific text with different text\nReplace"},
    Entry{cmd::EditSelectAll, "Select the entire document\nSelect All"},
    Entry{cmd::EditUndo, "Undo the last action\nUndo"},
    Entry{cmd::EditRedo, "Redo the previously undone action\nRedo"},
    Entry{cmd::WindowSplit, "Split the active window into panes\nSplit"},
    Entry{cmd::AppAbout, "Display program information, version number and copyright\nAbout"},
    Entry{cmd::AppExit, "Quit the application; prompts to save documents\nExit"},
    Entry{cmd::NextPane, "Switch to the next window pane\nNext Pane"},
    Entry{cmd::PrevPane, "Switch back to the previous window pane\nPrevious Pane"},
    Entry{cmd::IndicatorExt, "EXT"},
    Entry{cmd::IndicatorCaps, "CAP"},
    Entry{cmd::IndicatorNum, "NUM"},
    Entry{cmd::IndicatorScrl, "SCRL"},
    Entry{cmd::IndicatorOvr, "OVR"},
    Entry{cmd::IndicatorRec, "REC"},
    Entry{cmd::ViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
    Entry{cmd::ViewStatusBar, "Show or hide the status bar\nToggle StatusBar"},
    Entry{61184, "Change the window size"},
    Entry{61185, "Change the window position"},
    Entry{61186, "Reduce the window to an icon"},
    Entry{61187, "Enlarge the window to full size"},
    Entry{61188, "Switch to the next document window"},
    Entry{61189, "Switch to the previous document window"},
    Entry{61190, "Close the active window and prompts to save the documents"},
    Entry{61202, "Restore the window to normal size"},
    Entry{61203, "Activate Task List"},
    Entry{61445, "Close print preview mode\nCancel Preview"},
};

static_assert(std::is_sorted(kTable.begin(), kTable.end(),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));
} // namespace

QString LoadString(int id)
{
    // One prompt serves every recent-file slot.
    if (id >= cmd::FileMruFirst && id <= cmd::FileMruLast)
        return QStringLiteral("Open this document");
    const auto it = std::lower_bound(kTable.begin(), kTable.end(), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == kTable.end() || it->id != id)
        return {};
    return QString::fromLatin1(it->text);
}

QString StatusPromptFor(int id)
{
    return LoadString(id).section(QLatin1Char('\n'), 0, 0);
}

QString ToolTipFor(int id)
{
    const QString text = LoadString(id);
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    return lf < 0 ? QString() : text.mid(lf + 1);
}
} // namespace corvane
