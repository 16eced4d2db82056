#pragma once
// Waits for a modal dialog that a test's next exec() opens, without blocking:
// polls the active modal widget every 10 ms, a bounded number of times, so a
// test never hangs on a dialog that did not come.

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

namespace dravolo::test {

namespace detail {

template <typename D>
struct ModalPoll {
    std::function<void(D*)> act;
    int triesLeft;
};

// The pending timer is the poll's only owner: once it stops rescheduling
// itself, the state goes with the last timer.
template <typename D>
void PollModal(std::shared_ptr<ModalPoll<D>> poll) {
    if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
        poll->act(dialog);
        return;
    }
    if (--poll->triesLeft > 0) QTimer::singleShot(10, [poll] { PollModal(poll); });
}

}  // namespace detail

// Runs act on the modal dialog of type D once it is up (at most `tries`
// polls); act closes it.
template <typename D>
void WhenModalShown(std::function<void(D*)> act, int tries) {
    auto poll = std::make_shared<detail::ModalPoll<D>>(detail::ModalPoll<D>{std::move(act), tries});
    QTimer::singleShot(0, [poll] { detail::PollModal(poll); });
}

}  // namespace dravolo::test
