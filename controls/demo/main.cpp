// corvane-controls-demo: try the custom controls, or render them to PNG files with --screenshot.
#include "CControlsGallery.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane-controls-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Gallery of Corvane's rotary knob, segment display and text label."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Write gallery.png, knob-x6.png and display-x6.png into <dir> "
                                                       "and exit without showing a window."),
                                        QStringLiteral("dir"));
    parser.addOption(screenshot);
    parser.process(app);

    CControlsGallery gallery;
    if (parser.isSet(screenshot)) {
        if (!gallery.SaveScreenshots(parser.value(screenshot))) {
            std::fprintf(stderr, "could not write screenshots to %s\n", qPrintable(parser.value(screenshot)));
            return 1;
        }
        return 0;
    }
    gallery.show();
    return app.exec();
}
