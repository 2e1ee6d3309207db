#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// A picture worked on band by band by two threads: the calling thread produces the bands in
// order into a few reusable slotCount (decoding them, say) while a second thread consumes each one
// produced (converting and placing it). The calling thread consumes too whenever no slot is free
// and once every band is produced, so neither core idles while there is work and the slotCount stay
// few, small and warm in the cache.
class BandRing {
public:
    // `produce` fills a slot with a band and says whether it could; `consume` may run on either
    // thread, for different bands at once.
    using Produce = std::function<bool(int band, int slot)>;
    using Consume = std::function<void(int band, int slot)>;

    BandRing(int bands, int slotCount);

    // Every band produced in order and consumed once after it, a slot refilled only once its
    // band is consumed. False when a band could not be produced: none after it is, and some
    // produced before it may be left unconsumed.
    bool run(const Produce& produce, const Consume& consume);

private:
    void consumeClaimed(std::unique_lock<std::mutex>& lock, const Consume& consume);
    void waitForSlot(int band, const Consume& consume);
    void consumeWhileProducing(const Consume& consume);

    const int bands;
    const int slotCount;
    std::mutex mutex;
    std::condition_variable changed;
    // Guarded by `mutex`.
    int produced = 0;
    int claimed = 0;
    std::vector<bool> consumed;
    bool failed = false;
};
