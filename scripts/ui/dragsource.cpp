// Offers files by drag and drop, as a file manager does, for scripts/check-ui. A mouse press in
// its window starts the drag; it prints "accepted" each time the window under the pointer says it
// would take the file, then "dropped" or "refused" when the button is let go. It keeps running
// until it is ended: the window that took the drop fetches the file's name from it after the drop.
// With --clipboard it puts the file's picture on the clipboard instead, prints "offered", and keeps
// running as the clipboard's owner until it is ended.
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include <cstdio>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(const QStringList& paths) : QLabel(paths.join(u'\n')), paths(paths) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        drag->setMimeData(data);
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction)
                say("accepted");
        });
        say(drag->exec(Qt::CopyAction) == Qt::CopyAction ? "dropped" : "refused");
    }

private:
    QStringList paths;

    static void say(const char* what) {
        std::puts(what);
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--clipboard")) {
        QApplication::clipboard()->setImage(QImage(arguments.at(2)));
        std::puts("offered");
        std::fflush(stdout);
        return application.exec();
    }
    if (arguments.size() < 2) {
        std::fputs("usage: glimmerdock_dragsource [-geometry WxH+X+Y] FILE... | --clipboard FILE\n",
                   stderr);
        return 2;
    }
    QStringList paths;
    for (const QString& argument : arguments.mid(1))
        paths << QFileInfo(argument).absoluteFilePath();
    DragSource source(paths);
    source.setWindowTitle(QStringLiteral("Drag source"));
    source.show();
    return application.exec();
}
