#include "benchdocument.h"
#include "canvas/icongeometry.h"
#include "canvas/iconrenderer.h"
#include "model/localglobal.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>
int main(int argc, char** argv) {
    BenchDocument::prepareProcess();
    QApplication app(argc, argv);
    BenchDocument::initApplication();
    for (int n : {0, 10})
        for (int k : {1, 3}) {
            LocalGlobal::iconStyle = BenchDocument::fullStyle();
            LocalGlobal::LImageData = BenchDocument::pictures(k, n);
            const IconStyle& st = LocalGlobal::iconStyle;
            IconRenderer kept(k);
            std::vector<double> a, b;
            for (int i = 0; i < 200; ++i) {
                QElapsedTimer e;
                e.start();
                {
                    IconRenderer fresh(k);
                    QImage x =
                        fresh.renderCanvas(st, LocalGlobal::LImageData, QRect(10, 10, 50, 50));
                }
                a.push_back(e.nsecsElapsed() / 1e6);
                e.restart();
                {
                    QImage x =
                        kept.renderCanvas(st, LocalGlobal::LImageData, QRect(10, 10, 50, 50));
                }
                b.push_back(e.nsecsElapsed() / 1e6);
            }
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            std::printf("k=%d n=%d fresh %.3f kept %.3f (min %.3f / %.3f)\n", k, n, a[100], b[100],
                        a[0], b[0]);
        }
}
