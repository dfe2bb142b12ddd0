// SPDX-License-Identifier: Apache-2.0
// The words of a fault (words/chinese.h): the kind's name, a full-width
// colon, and the detail naming the input or quantity involved.
#include "calc/number_list.h"
#include "words/chinese.h"

namespace velkarin {

std::string_view chinese(FaultKind kind) {
  switch (kind) {
    case FaultKind::InvalidArgument:
      return "无效的参数";
    case FaultKind::TypeMismatch:
      return "类型不匹配";
    case FaultKind::DivisionByZero:
      return "除数为零";
    case FaultKind::Overflow:
      return "溢出";
  }
  return "无效的参数";
}

namespace {

// The name of a subject, or the whole statement of a stated one.
std::string_view subjectWords(FaultSubject subject) {
  switch (subject) {
    case FaultSubject::Temperature:
      return "温度";
    case FaultSubject::Carbon:
      return "C浓度";
    case FaultSubject::Chromium:
      return "Cr浓度";
    case FaultSubject::Nickel:
      return "Ni浓度";
    case FaultSubject::Silicon:
      return "Si浓度";
    case FaultSubject::Manganese:
      return "Mn浓度";
    case FaultSubject::CoPressure:
      return "CO分压";
    case FaultSubject::A:
      return "A";
    case FaultSubject::B:
      return "B";
    case FaultSubject::CarbonActivityLog:
      return "C的活度系数的对数lgfC";
    case FaultSubject::ChromiumActivityLog:
      return "Cr的活度系数的对数lgfCr";
    case FaultSubject::BTimesT:
      return "B·T";
    case FaultSubject::RTimesLn10:
      return "19.147142·T";
    case FaultSubject::FreeEnergyChange:
      return "反应自由能变值";
    case FaultSubject::TemperatureDenominator:
      return "平衡温度的分母";
    case FaultSubject::EquilibriumTemperature:
      return "平衡熔池温度";
    case FaultSubject::PressureExponent:
      return "平衡CO分压的指数";
    case FaultSubject::EquilibriumPressure:
      return "平衡CO分压";
    case FaultSubject::ScanFunction:
      return "C浓度试算方程y值";
    case FaultSubject::LgKSlope:
      return "lgK的系数";
    case FaultSubject::LgKIntercept:
      return "lgK的常数项";
    case FaultSubject::CarbonCoefficient:
      return "C的活度系数fc";
    case FaultSubject::ChromiumCoefficient:
      return "Cr的活度系数fcr";
    case FaultSubject::LgK:
      return "lgK";
    case FaultSubject::EquilibriumConstant:
      return "平衡常数K";
    case FaultSubject::ChromiumActivityPower:
      return "Cr活度的幂";
    case FaultSubject::ConstantOverChromium:
      return "K与Cr活度之比";
    case FaultSubject::PressureFromConstant:
      return "用平衡常数计算出来的CO分压值";
    case FaultSubject::CarbonPressureTerm:
      return "平衡C浓度的分压项";
    case FaultSubject::ChromiumOverConstant:
      return "Cr活度与K之比";
    case FaultSubject::CarbonFromConstant:
      return "由平衡常数计算出来的平衡C浓度值";
    case FaultSubject::PressureUnderflow:
      return "CO分压太小（除以101325后下溢为0），无法计算";
    case FaultSubject::TemperatureDivisorZero:
      return "计算平衡熔池温度时除数为零（B + 19.147142·lgQ = 0）";
    case FaultSubject::PressureDivisorZero:
      return "熔池温度为-273℃（0 K），计算平衡CO分压时除数为零";
    case FaultSubject::ChromiumActivityZero:
      return "Cr的活度为0（下溢），计算CO分压时除数为零";
    case FaultSubject::CarbonCoefficientZero:
      return "C的活度系数fc为0（下溢），计算平衡C浓度时除数为零";
    case FaultSubject::ConstantZero:
      return "平衡常数K为0（下溢），计算平衡C浓度时除数为零";
    case FaultSubject::DisplayNotFinite:
      return "要显示的数值不是有限数";
  }
  return {};
}

std::string faultDetail(const Fault& fault) {
  const std::string subject(subjectWords(fault.subject));
  switch (fault.detail) {
    case FaultDetail::NotValid:
      return subject + "不是有效的数值";
    case FaultDetail::OutOfRange:
      return subject + "超出了数值范围";
    case FaultDetail::NotPositive:
      return subject + "必须大于0";
    case FaultDetail::ConstantOutOfRange:
      return subject + "值超出了数值范围";
    case FaultDetail::ConstantEmpty:
      return subject + "值为空，不是数值";
    case FaultDetail::ConstantNotANumber:
      return subject + "值“" + fault.text + "”不是数值";
    case FaultDetail::AnswerOutOfRange:
      return subject + "的输入值超出了数值范围";
    case FaultDetail::TemperatureNotANumber:
      return subject + "“" + messageExcerpt(fault.text) + "”不是数字";
    case FaultDetail::Stated:
      return subject;
  }
  return subject;
}

}  // namespace

std::string chinese(const Fault& fault) {
  std::string message(chinese(fault.kind));
  message += "：";
  message += faultDetail(fault);
  return message;
}

}  // namespace velkarin
