#pragma once

#include <optional>
#include <utility>

namespace scrivane {

// The result of a step that hands nothing back but may fail: ok(), or the
// failure that says why. A default-made result is a success, one made from a
// failure is that failure, so a step reads "return {};" or "return failure;".
template <class Failure>
class [[nodiscard]] Result
{
public:
    Result() = default;
    Result(Failure failure)
        : failure_(std::move(failure))
    {
    }

    bool ok() const { return !failure_.has_value(); }
    // What went wrong; only for a result that is not ok().
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

} // namespace scrivane
