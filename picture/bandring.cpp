#include "bandring.h"

#include <thread>

BandRing::BandRing(int bandCount, int slotsGiven)
    : bands(bandCount), slotCount(slotsGiven), consumed(size_t(bandCount), false) {}

// Takes the next produced band and consumes it outside the lock.
void BandRing::consumeClaimed(std::unique_lock<std::mutex>& lock, const Consume& consume) {
    const int band = claimed++;
    lock.unlock();
    consume(band, band % slotCount);
    lock.lock();
    consumed[size_t(band)] = true;
    changed.notify_all();
}

// Rather than wait for the slot `band` will fill, the producer consumes what waits to be.
void BandRing::waitForSlot(int band, const Consume& consume) {
    std::unique_lock lock(mutex);
    while (band >= slotCount && !consumed[size_t(band - slotCount)]) {
        if (claimed < produced)
            consumeClaimed(lock, consume);
        else
            changed.wait(lock);
    }
}

void BandRing::consumeWhileProducing(const Consume& consume) {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return failed || claimed < produced || claimed == bands; });
        if (failed || claimed == bands)
            return;
        consumeClaimed(lock, consume);
    }
}

bool BandRing::run(const Produce& produce, const Consume& consume) {
    std::thread helper([&] { consumeWhileProducing(consume); });
    bool produces = true;
    for (int band = 0; band < bands && produces; ++band) {
        waitForSlot(band, consume);
        produces = produce(band, band % slotCount);
        const std::lock_guard lock(mutex);
        if (produces)
            produced = band + 1;
        failed = !produces;
        changed.notify_all();
    }
    {
        std::unique_lock lock(mutex);
        while (!failed && claimed < produced)
            consumeClaimed(lock, consume);
    }
    helper.join();
    return produces;
}
