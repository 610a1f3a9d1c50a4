#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

// The pairs of numbers two ranges hold at the same places; pairs where
// either is no number are left out. #N/A when the ranges differ in size.
std::optional<Value> Pairs(const Arguments& a, size_t ys, size_t xs, std::vector<double>* y,
                           std::vector<double>* x) {
  const Cells known_y(a, ys), known_x(a, xs);
  if (known_y.whole.is_error()) return known_y.whole;
  if (known_x.whole.is_error()) return known_x.whole;
  if (known_y.rows * known_y.columns != known_x.rows * known_x.columns) {
    return Value::Error(ErrorCode::kNA);
  }
  for (int32_t i = 0; i < known_y.rows * known_y.columns; ++i) {
    const Value vy = known_y.At(i / known_y.columns, i % known_y.columns);
    const Value vx = known_x.At(i / known_x.columns, i % known_x.columns);
    if (vy.is_error()) return vy;
    if (vx.is_error()) return vx;
    if (!vy.is_number() || !vx.is_number()) continue;
    y->push_back(vy.number());
    x->push_back(vx.number());
  }
  return std::nullopt;
}

// The least-squares line through the pairs: slope and intercept.
std::optional<Value> Line(const std::vector<double>& y, const std::vector<double>& x, double* slope,
                          double* intercept) {
  if (x.size() < 2) return Value::Error(ErrorCode::kDiv0);
  double mean_x = 0, mean_y = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    mean_x += x[i];
    mean_y += y[i];
  }
  mean_x /= double(x.size());
  mean_y /= double(x.size());
  double sxy = 0, sxx = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mean_x) * (y[i] - mean_y);
    sxx += (x[i] - mean_x) * (x[i] - mean_x);
  }
  if (sxx == 0) return Value::Error(ErrorCode::kDiv0);
  *slope = sxy / sxx;
  *intercept = mean_y - *slope * mean_x;
  return std::nullopt;
}

enum class Fit { kSlope, kIntercept };

// SLOPE and INTERCEPT of (known_y, known_x).
template <Fit F>
Operand LineFit(const Arguments& a) {
  std::vector<double> y, x;
  double slope = 0, intercept = 0;
  if (auto error = Pairs(a, 0, 1, &y, &x)) return *error;
  if (auto error = Line(y, x, &slope, &intercept)) return *error;
  return Value::Number(F == Fit::kSlope ? slope : intercept);
}

// FORECAST(x, known_y, known_x): the line's value at x.
Operand Forecast(const Arguments& a) {
  const Value at = ToNumber(a.Scalar(0));
  if (at.is_error()) return at;
  std::vector<double> y, x;
  double slope = 0, intercept = 0;
  if (auto error = Pairs(a, 1, 2, &y, &x)) return *error;
  if (auto error = Line(y, x, &slope, &intercept)) return *error;
  return Value::Number(intercept + slope * at.number());
}

// TREND(known_y, [known_x], [new_x]): the line's values at new_x (known_x
// by default; 1, 2, 3... when known_x is left out), in new_x's shape.
Operand Trend(const Arguments& a) {
  std::vector<double> y, x;
  if (a.missing(1)) {
    if (const auto error = CollectNumbers(a, 0, 1, &y)) return *error;
    for (size_t i = 0; i < y.size(); ++i) x.push_back(double(i + 1));
  } else if (auto error = Pairs(a, 0, 1, &y, &x)) {
    return *error;
  }
  double slope = 0, intercept = 0;
  if (auto error = Line(y, x, &slope, &intercept)) return *error;
  if (a.missing(2)) {
    std::vector<Value> fitted;
    for (const double at : x) fitted.push_back(Value::Number(intercept + slope * at));
    return Value::Array(int32_t(fitted.size()), 1, std::move(fitted));
  }
  const Cells at(a, 2);
  std::vector<Value> values;
  for (int32_t i = 0; i < at.rows * at.columns; ++i) {
    const Value number = ToNumber(at.At(i / at.columns, i % at.columns));
    values.push_back(number.is_error() ? number
                                       : Value::Number(intercept + slope * number.number()));
  }
  return values.size() == 1 ? values[0] : Value::Array(at.rows, at.columns, std::move(values));
}

// A unit CONVERT knows: its factor to the kind's base unit, or for
// temperatures an offset too (base = value * factor + offset).
struct Unit {
  std::string_view name;
  std::string_view kind;
  double factor;
  double offset = 0;
  bool prefixes = false;  // takes metric prefixes ("km", "mg")
};

// clang-format off
constexpr Unit kUnits[] = {
    {"m", "length", 1, 0, true}, {"in", "length", 0.0254}, {"ft", "length", 0.3048},
    {"yd", "length", 0.9144}, {"mi", "length", 1609.344}, {"Nmi", "length", 1852},
    {"g", "mass", 1, 0, true}, {"lbm", "mass", 453.59237}, {"ozm", "mass", 28.349523125},
    {"ton", "mass", 907184.74},
    {"sec", "time", 1, 0, true}, {"s", "time", 1, 0, true}, {"mn", "time", 60}, {"min", "time", 60},
    {"hr", "time", 3600}, {"day", "time", 86400}, {"yr", "time", 31557600},
    {"C", "temperature", 1, 273.15}, {"cel", "temperature", 1, 273.15},
    {"F", "temperature", 5.0 / 9, 273.15 - 32 * 5.0 / 9}, {"fah", "temperature", 5.0 / 9, 273.15 - 32 * 5.0 / 9},
    {"K", "temperature", 1, 0, true}, {"kel", "temperature", 1, 0, true},
    {"Pa", "pressure", 1, 0, true}, {"p", "pressure", 1, 0, true}, {"atm", "pressure", 101325},
    {"at", "pressure", 101325}, {"mmHg", "pressure", 133.322}, {"psi", "pressure", 6894.75729316836},
    {"bar", "pressure", 100000, 0, true},
    {"N", "force", 1, 0, true}, {"dyn", "force", 1e-5}, {"lbf", "force", 4.4482216152605},
    {"J", "energy", 1, 0, true}, {"e", "energy", 1e-7}, {"cal", "energy", 4.1868, 0, true},
    {"BTU", "energy", 1055.05585262}, {"Wh", "energy", 3600, 0, true},
    {"W", "power", 1, 0, true}, {"w", "power", 1, 0, true}, {"HP", "power", 745.69987158227},
    {"h", "power", 745.69987158227}, {"PS", "power", 735.49875},
    {"l", "volume", 0.001, 0, true}, {"L", "volume", 0.001, 0, true}, {"lt", "volume", 0.001, 0, true},
    {"gal", "volume", 0.003785411784}, {"qt", "volume", 0.000946352946},
    {"m3", "volume", 1, 0, true}, {"ft3", "volume", 0.028316846592},
    {"m2", "area", 1, 0, true}, {"ft2", "area", 0.09290304}, {"in2", "area", 0.00064516},
    {"ha", "area", 10000}, {"acre", "area", 4046.8564224},
};
// clang-format on

constexpr std::array<std::pair<std::string_view, double>, 14> kPrefixes = {{
    {"da", 1e1},
    {"k", 1e3},
    {"M", 1e6},
    {"G", 1e9},
    {"T", 1e12},
    {"h", 1e2},
    {"d", 1e-1},
    {"c", 1e-2},
    {"m", 1e-3},
    {"u", 1e-6},
    {"n", 1e-9},
    {"p", 1e-12},
    {"f", 1e-15},
    {"a", 1e-18},
}};

// The unit a name spells, prefixes applied (an area or volume's prefix
// squared or cubed); false for none.
bool FindUnit(std::string_view name, Unit* unit) {
  for (const Unit& known : kUnits) {
    if (known.name == name) {
      *unit = known;
      return true;
    }
  }
  for (const auto& [prefix, scale] : kPrefixes) {
    if (name.substr(0, prefix.size()) != prefix) continue;
    for (const Unit& known : kUnits) {
      if (!known.prefixes || known.name != name.substr(prefix.size())) continue;
      *unit = known;
      const int power = known.kind == "area"                           ? 2
                        : known.kind == "volume" && known.name == "m3" ? 3
                                                                       : 1;
      unit->factor *= std::pow(scale, power);
      return true;
    }
  }
  return false;
}

Value Convert(std::span<const Value> a) {
  const Value number = ToNumber(a[0]);
  if (number.is_error()) return number;
  if (!a[1].is_text() || !a[2].is_text()) return Value::Error(ErrorCode::kNA);
  Unit from, to;
  if (!FindUnit(a[1].text(), &from) || !FindUnit(a[2].text(), &to) || from.kind != to.kind) {
    return Value::Error(ErrorCode::kNA);
  }
  const double base = number.number() * from.factor + from.offset;
  return Value::Number((base - to.offset) / to.factor);
}

// clang-format off
const FunctionSpec kEngineeringFunctions[] = {
    {"SLOPE", 2, 2, kArrayArguments, nullptr, LineFit<Fit::kSlope>},
    {"INTERCEPT", 2, 2, kArrayArguments, nullptr, LineFit<Fit::kIntercept>},
    {"FORECAST", 3, 3, kArrayArguments, nullptr, Forecast},
    {"FORECAST.LINEAR", 3, 3, kArrayArguments, nullptr, Forecast},
    {"TREND", 1, 3, kArrayArguments, nullptr, Trend},
    {"CONVERT", 3, 3, 0, Convert, nullptr},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> EngineeringFunctions() { return kEngineeringFunctions; }

}  // namespace ovc::excel::formula
