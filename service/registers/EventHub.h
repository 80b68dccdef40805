#pragma once

#include "ecr/commands/ECRTrafficDecoder.h"
#include "service/registers/ServiceEvent.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Where the workers and the board publish what the event streams tell
// (ServiceEvent), and where the API subscribes the streams. Publishing
// costs a register's thread a queue entry and nothing more, and nothing at
// all while no stream listens: a thread of the hub's own decodes the
// traffic, formats each event once (the API's Format) and hands the texts
// of the events that came within kGather to every subscriber's Sink at
// once, which never blocks either (an HTTP stream drops a client that falls
// behind). Traffic goes only to the streams that watch
// its register, and is published only while one does. Safe from any thread.
class EventHub {
public:
    // An event's text as the streams send it.
    using Format = std::function<std::string(const ServiceEvent&)>;
    // Takes an event's text; false when the subscriber is gone (its stream
    // closed or dropped): it is then forgotten.
    using Sink = std::function<bool(std::string_view text)>;

    // At most this many subscribers at once.
    static constexpr std::size_t kMostSubscribers = 64;
    // Events waiting for the hub's thread beyond this are lost, and every
    // subscriber is told (EventsLost).
    static constexpr std::size_t kMostWaiting = 10000;
    // Events are sent at most this often, those that came meanwhile together.
    static constexpr std::chrono::milliseconds kGather{20};

    EventHub();
    ~EventHub();
    EventHub(const EventHub&) = delete;
    EventHub& operator=(const EventHub&) = delete;

    // How events become text; set once, before the first subscriber.
    void SetFormat(Format format);
    // Adds a subscriber that watches the traffic of these registers; `first`
    // goes to it alone before anything published later. False when
    // kMostSubscribers are subscribed already, or the hub has stopped.
    bool Subscribe(std::set<std::string> watched, Sink sink, std::vector<ServiceEvent> first);
    // Whether a subscriber watches the register's traffic now.
    bool Watched(const std::string& registerId) const;
    // Queues the event for the subscribers (traffic only while its register
    // is watched). Never blocks on them.
    void Publish(ServiceEvent event);
    std::size_t Subscribers() const;
    // Ends the hub's thread and forgets every subscriber; publishing then does nothing.
    void Stop();

private:
    struct Subscriber {
        std::set<std::string> watched;
        Sink sink;
        std::string gathered;  // the hub's thread's: what goes out to it next
    };
    struct Waiting {
        ServiceEvent event;
        std::shared_ptr<Subscriber> only;  // the first events of one subscriber
        bool skip;                         // a later one in the same batch says the same
    };

    void Loop();
    // Formats the event once and adds it to what goes out to each subscriber it is for.
    void Gather(Waiting& waiting, const Format& format, const std::vector<std::shared_ptr<Subscriber>>& subscribers);
    // The decoded line of a traffic entry, by its register's decoder.
    void Decode(TrafficSeen& traffic);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    Format m_format;
    std::vector<std::shared_ptr<Subscriber>> m_subscribers;
    std::map<std::string, std::size_t> m_watchers;  // register -> subscribers watching it
    std::deque<Waiting> m_waiting;
    std::uint64_t m_lost = 0;
    bool m_stop = false;
    // The hub's thread alone: a decoder per register, so that a reply is read by its request.
    std::map<std::string, ECRTrafficDecoder> m_decoders;
    std::thread m_thread;
};
