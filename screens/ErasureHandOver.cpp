#include "ErasureHandOver.h"

#include "MessageBox.h"

namespace {
// The confirmation and progress windows are built with the selection screen; until they are
// part of the program, Erase explains that and confirms nothing.
ErasureHandOver DefaultHandOver()
{
    ErasureHandOver handOver;
    handOver.confirm = [](QWidget* parent) {
        MessageBox box(QStringLiteral("Erase"), QStringLiteral("Erasure is not available in this build."),
                       MessageBox::Information, MessageBox::OkOnly, parent);
        box.exec();
        return 0;
    };
    handOver.startProgress = [](QWidget*) -> QWidget* { return nullptr; };
    return handOver;
}
} // namespace

ErasureHandOver& SearchErasureHandOver()
{
    static ErasureHandOver handOver = DefaultHandOver();
    return handOver;
}
