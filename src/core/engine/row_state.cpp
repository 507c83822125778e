#include "core/engine/row_state.h"

QString percentText(int value) {
    const int v = value < 0 ? 0 : value;
    return QString::asprintf("%.2d.%.2d%%", v / 100, v % 100);
}

QString statusText(const RowState& state) {
    switch (state.kind) {
        case RowState::New:
            return QStringLiteral("Status");
        case RowState::Ready:
            return QStringLiteral("Ready");
        case RowState::Running:
            return percentText(state.progress);
        case RowState::Finished:
            return QStringLiteral("Finish");
        case RowState::Failed:
            return QStringLiteral("Failed");
        case RowState::Stopped:
            return QStringLiteral("Stop");
    }
    return {};
}
