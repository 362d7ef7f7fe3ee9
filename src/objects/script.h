// script.h: the card script instructions and the running of a script slot.
#pragma once

#include <array>
#include <cstdint>

struct CardState;
struct Instruction;

using InstructionFn = void (*)();
constexpr int kInstructionCount = 21;

struct ScriptState {
  // One entry per opcode; each reads the current instruction and card.
  std::array<InstructionFn, kInstructionCount> InstructionTable{};
  const Instruction* current = nullptr;
  CardState* card = nullptr;  // the card whose slot runs
  uint8_t cardDeleted = 0;    // set by the instruction that deletes the card
  uint8_t YieldFlag = 0;      // set by an instruction that waits: the slot's turn ends
  // Written by instructions 0 and 1 only; nothing in the engine reads them.
  uint16_t CardResult = 0, CardPendingResult = 0, CardDefaultResult = 0;
  uint8_t CardResultLock = 0, CardResultWait = 0;
};
extern ScriptState Script;

void ResetScripts();

// Fills the instruction table in opcode order.
void InstallInstructions();

// Starts script s of the card in the highest free slot, unless a slot
// already runs it or none is free.
void StartScript(CardState& card, uint8_t s);
// Runs script slot t of the card: instructions one after another until one
// waits or the script ends (the slot is then emptied). False when an
// instruction deleted the card.
bool RunScriptSlot(CardState& card, uint8_t t);
