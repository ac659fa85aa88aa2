#include "Program.h"

#include "platform/Assert.h"

static const char* const kSource = "..\\..\\Frameworks\\PresetManager\\Program";

Program::Program(size_t numParameters, bool readOnly_)
    : readOnly(readOnly_), initialValues(numParameters, 0.0f), currentValues(numParameters, 0.0f)
{}

// The copy's active set is its own set of the same kind as the source's.
Program::Program(const Program& other) = default;
Program& Program::operator=(const Program& other) = default;

float Program::getValue(int index) const
{
    ONDREL_ASSERT(kSource, validIndex(index));
    return validIndex(index) ? (float)active()[(size_t)index] : 0.0f;
}

void Program::setValue(int index, float value)
{
    ONDREL_ASSERT(kSource, validIndex(index));
    if (!validIndex(index)) return;
    currentValues[(size_t)index] = value;
    if (value != initialValues[(size_t)index]) modified = true;
}

void Program::setStoredValue(int index, float value)
{
    ONDREL_ASSERT(kSource, validIndex(index));
    if (!validIndex(index)) return;
    initialValues[(size_t)index] = value;
    currentValues[(size_t)index] = value;
}

float Program::initialValue(int index) const { return validIndex(index) ? (float)initialValues[(size_t)index] : 0.0f; }

float Program::currentValue(int index) const { return validIndex(index) ? (float)currentValues[(size_t)index] : 0.0f; }

void Program::setValueType(int valueType)
{
    ONDREL_ASSERT(kSource, valueType == VALUE_INITIAL || valueType == VALUE_CURRENT);
    if (valueType == VALUE_INITIAL)
        activeValues = VALUE_INITIAL;
    else if (valueType == VALUE_CURRENT)
        activeValues = VALUE_CURRENT;
}

void Program::revert()
{
    currentValues = initialValues;
    modified = false;
}

void Program::commit()
{
    initialValues = currentValues;
    modified = false;
}
