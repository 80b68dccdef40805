#include "service/registers/EventHub.h"

#include <algorithm>

EventHub::EventHub() : m_thread([this] { Loop(); }) {}

EventHub::~EventHub()
{
    Stop();
}

void EventHub::SetFormat(Format format)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_format = std::move(format);
}

bool EventHub::Subscribe(std::set<std::string> watched, Sink sink, std::vector<ServiceEvent> first)
{
    auto subscriber = std::make_shared<Subscriber>(Subscriber{std::move(watched), std::move(sink), {}});
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop || m_subscribers.size() >= kMostSubscribers)
            return false;
        m_subscribers.push_back(subscriber);
        for (const std::string& id : subscriber->watched)
            ++m_watchers[id];
        for (ServiceEvent& event : first)
            m_waiting.push_back({std::move(event), subscriber, false});
    }
    m_wake.notify_one();
    return true;
}

bool EventHub::Watched(const std::string& registerId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_watchers.find(registerId);
    return found != m_watchers.end() && found->second > 0;
}

std::size_t EventHub::Subscribers() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_subscribers.size();
}

void EventHub::Publish(ServiceEvent event)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop || m_subscribers.empty())
            return;
        if (const TrafficSeen* traffic = std::get_if<TrafficSeen>(&event)) {
            const auto found = m_watchers.find(traffic->registerId);
            if (found == m_watchers.end() || found->second == 0)
                return;
        }
        if (m_waiting.size() >= kMostWaiting) {
            ++m_lost;
            return;
        }
        m_waiting.push_back({std::move(event), nullptr, false});
    }
    m_wake.notify_one();
}

void EventHub::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_subscribers.clear();
    m_watchers.clear();
    m_waiting.clear();
}

void EventHub::Loop()
{
    auto lastSent = std::chrono::steady_clock::now() - kGather;
    for (;;) {
        std::deque<Waiting> batch;
        std::vector<std::shared_ptr<Subscriber>> subscribers;
        Format format;
        std::uint64_t lost = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_waiting.empty() || m_lost > 0; });
            // What comes within kGather of the last sending goes out with
            // it: one write a stream for a few events, not one for each.
            m_wake.wait_until(lock, lastSent + kGather, [this] { return m_stop; });
            if (m_stop)
                return;
            batch.swap(m_waiting);
            subscribers = m_subscribers;
            format = m_format;
            std::swap(lost, m_lost);
        }
        lastSent = std::chrono::steady_clock::now();
        if (!format)
            continue;
        // A register's status is read when it goes out: of several changes
        // in one batch, the last one tells all.
        std::set<std::string> toldLater;
        for (auto it = batch.rbegin(); it != batch.rend(); ++it) {
            if (const RegisterChanged* changed = std::get_if<RegisterChanged>(&it->event); changed && !it->only)
                it->skip = !toldLater.insert(changed->registerId).second;
        }
        for (Waiting& waiting : batch) {
            if (!waiting.skip)
                Gather(waiting, format, subscribers);
        }
        if (lost > 0) {
            Waiting notice{EventsLost{lost}, nullptr, false};
            Gather(notice, format, subscribers);
        }
        std::vector<std::shared_ptr<Subscriber>> gone;
        for (const std::shared_ptr<Subscriber>& subscriber : subscribers) {
            if (!subscriber->gathered.empty() && !subscriber->sink(subscriber->gathered))
                gone.push_back(subscriber);
            subscriber->gathered.clear();
        }
        if (gone.empty())
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::shared_ptr<Subscriber>& subscriber : gone) {
            const auto found = std::find(m_subscribers.begin(), m_subscribers.end(), subscriber);
            if (found == m_subscribers.end())
                continue;
            for (const std::string& id : subscriber->watched)
                --m_watchers[id];
            m_subscribers.erase(found);
        }
    }
}

void EventHub::Gather(Waiting& waiting, const Format& format,
                      const std::vector<std::shared_ptr<Subscriber>>& subscribers)
{
    TrafficSeen* traffic = std::get_if<TrafficSeen>(&waiting.event);
    if (traffic != nullptr)
        Decode(*traffic);
    // Formatted once for every subscriber.
    const std::string text = format(waiting.event);
    if (waiting.only) {
        waiting.only->gathered += text;
        return;
    }
    for (const std::shared_ptr<Subscriber>& subscriber : subscribers) {
        if (traffic == nullptr || subscriber->watched.count(traffic->registerId) > 0)
            subscriber->gathered += text;
    }
}

void EventHub::Decode(TrafficSeen& traffic)
{
    // Decode gives the time (unknown here: the event has its own) and the
    // direction before what the bytes say; the stream sends those apart.
    std::string decoded = m_decoders[traffic.registerId].Decode({-1, traffic.direction, traffic.bytes});
    std::int64_t ms = -1;
    std::string tag;
    std::string_view rest;
    if (ECRTrafficDecoder::ParsePrefix(decoded, ms, tag, rest))
        decoded = std::string(rest);
    traffic.line = std::move(decoded);
}
