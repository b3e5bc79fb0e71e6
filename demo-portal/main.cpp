// demo-portal: the fund portal imitation as a stand-alone server.
#include "demo-portal/command_line.h"
#include "demo-portal/demo_portal.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>

int main(int argc, char** argv) {
    using namespace fundlens::demo;
    PortalOptions options;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    switch (ParseCommandLine(args, options, error)) {
    case CommandLineResult::Help:
        std::cout << UsageText();
        return 0;
    case CommandLineResult::Error:
        std::cerr << "demo-portal: " << error << "\n\n" << UsageText();
        return 2;
    case CommandLineResult::Run:
        break;
    }

    // Block the stop signals in every thread; the main thread takes them with sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The chart images get their labels only with a GUI application (fonts need one); no
    // window is ever shown, so the offscreen platform serves on a machine without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    DemoPortal portal(options);
    if (!portal.Start()) {
        std::cerr << "demo-portal: cannot listen on " << options.host << ":" << options.port
                  << "\n";
        return 1;
    }
    std::cout << "demo-portal listening on " << portal.BaseUrl() << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    portal.Stop();
    std::cout << "demo-portal stopped" << std::endl;
    return 0;
}
