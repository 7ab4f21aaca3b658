#include "probe.h"

#include <QObject>
#include <QtPlugin>

namespace {
[[gnu::constructor]] void Loaded() { ReportCapabilities("platform"); }
} // namespace

// Only the metadata matters: Qt loads the library for its key "probe" before it asks for the
// interface, which this object does not have.
class ProbePlatformPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "probe.json")
};

#include "probe_platform.moc"
