#pragma once
// The skin window tells the main window about a new background through a small subject and
// receiver pair; the subject is made on first use and lives until the program ends. UI thread
// only, no lock.

#include <QString>
#include <QtGui/qrgb.h>
#include <map>

namespace vx::app {

struct SkinChangedParam {
    bool colourFlag = false;  // true: a plain colour; false: an image
    QRgb backgroundColour = 0;
    QString backgroundImage;  // image name of the skin, or a file path
};

template <class ReturnT, class ParamT>
class ReceiverImplBase;

template <class ReturnT, class ParamT>
class ObserverImplBase {
public:
    virtual ~ObserverImplBase() = default;
    virtual void AddReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual void RemoveReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual ReturnT Broadcast(ParamT param) = 0;
    virtual ReturnT Notify(ParamT param) = 0;
};

template <class ReturnT, class ParamT>
class ReceiverImplBase {
public:
    virtual ~ReceiverImplBase() = default;
    virtual int AddObserver(ObserverImplBase<ReturnT, ParamT>* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual ReturnT Receive(ParamT param) = 0;
    virtual ReturnT Respond(ParamT param, ObserverImplBase<ReturnT, ParamT>* observer) = 0;
};

template <class ReturnT, class ParamT>
class ObserverImpl : public ObserverImplBase<ReturnT, ParamT> {
public:
    void AddReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) override {
        if (receiver == nullptr) return;
        m_receivers[m_next] = receiver;
        receiver->AddObserver(this);
        ++m_next;
    }
    void RemoveReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) override {
        for (auto it = m_receivers.begin(); it != m_receivers.end(); ++it) {
            if (it->second == receiver) {
                m_receivers.erase(it);
                return;
            }
        }
    }
    ReturnT Broadcast(ParamT param) override {
        // A copy, so that a receiver may detach itself while it is told.
        const auto receivers = m_receivers;
        for (const auto& [number, receiver] : receivers) receiver->Receive(param);
        return ReturnT();
    }
    ReturnT Notify(ParamT param) override {
        const auto receivers = m_receivers;
        for (const auto& [number, receiver] : receivers) receiver->Respond(param, this);
        return ReturnT();
    }

private:
    std::map<int, ReceiverImplBase<ReturnT, ParamT>*> m_receivers;
    int m_next = 0;
};

template <class ReturnT, class ParamT>
class ReceiverImpl : public ReceiverImplBase<ReturnT, ParamT> {
public:
    ~ReceiverImpl() override { RemoveObserver(); }
    int AddObserver(ObserverImplBase<ReturnT, ParamT>* observer) override {
        m_observers[m_next++] = observer;
        return static_cast<int>(m_observers.size());
    }
    void RemoveObserver() override {
        for (const auto& [number, observer] : m_observers) observer->RemoveReceiver(this);
        m_observers.clear();
    }
    ReturnT Receive(ParamT) override { return ReturnT(); }
    ReturnT Respond(ParamT, ObserverImplBase<ReturnT, ParamT>*) override { return ReturnT(); }

private:
    std::map<int, ObserverImplBase<ReturnT, ParamT>*> m_observers;
    int m_next = 0;
};

using SkinChangedObserver = ObserverImpl<int, SkinChangedParam>;
using SkinChangedReceiver = ReceiverImpl<int, SkinChangedParam>;

// The process-wide skin-change subject.
SkinChangedObserver& SkinChangeSubject();

}  // namespace vx::app
