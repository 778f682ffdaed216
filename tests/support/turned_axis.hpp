// An exchange file with its axis angle turned by 90 degrees: what a vertical run of the file
// must write exactly as a horizontal run does. Every "hk" line that sets the angle holds the sum
// (formed in double, written in the shortest form that reads back the same double), or such a
// line comes first when there is none.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange/exchange_reader_internal.hpp"

namespace TurnedAxis {

inline std::string TurnedByNinety(const std::string& exchange)
{
    RidEdaza::DrawingModel model;
    RidEdaza::ReadExchangeText(model, exchange);
    const double sum = model.state.axisAngle + 90.0;
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, sum);
    const std::string hk = "hk " + std::string(digits, written.ptr);

    std::string turned;
    bool replaced = false;
    std::size_t start = 0;
    while (start < exchange.size()) {
        std::size_t end = exchange.find('\n', start);
        end = end == std::string::npos ? exchange.size() : end + 1;
        std::string line = exchange.substr(start, end - start);
        start = end;
        std::string_view bare = line;
        while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
        RidEdaza::LineFields fields;
        RidEdaza::SplitExchangeLine(bare, fields);
        if (fields[0] == "hk" && fields.count >= 2) {
            line = hk + line.substr(bare.size());
            replaced = true;
        }
        turned += line;
    }
    return replaced ? turned : hk + "\r\n" + turned;
}

}  // namespace TurnedAxis
