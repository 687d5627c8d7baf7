#pragma once
// Answering modal windows as a user would, from a timer, so a test never blocks on one.

#include <QWidget>

#include <functional>
#include <type_traits>

namespace support {

// Polls every 10 ms for an active modal window that accepts says is the one, then hands it to action once;
// the action is what closes it.
void OnNextModalWidget(const std::function<bool(QWidget*)>& accepts, const std::function<void(QWidget*)>& action);

// Hands the next active modal window of type T (any window by default) to action once; the action closes it.
template <typename T = QWidget> void OnNextModal(std::type_identity_t<std::function<void(T*)>> action)
{
    OnNextModalWidget([](QWidget* modal) { return qobject_cast<T*>(modal) != nullptr; },
                      [action](QWidget* modal) { action(static_cast<T*>(modal)); });
}

} // namespace support
