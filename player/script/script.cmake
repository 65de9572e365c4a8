# The ActionScript 1/2 engine: platform-free, includes nothing of ours
# outside player/script/. Included from the root CMakeLists.txt.
add_library(velmora_script STATIC
  player/script/Bytecode.cpp
  player/script/ActionAssembler.cpp
  player/script/Heap.cpp
  player/script/Object.cpp
  player/script/Text.cpp
  player/script/Convert.cpp
  player/script/CodeBlock.cpp
  player/script/Members.cpp
  player/script/ArrayObject.cpp
  player/script/ClipObject.cpp
  player/script/Realm.cpp
  player/script/Timers.cpp
  player/script/Vm.cpp
  player/script/Interpreter.cpp
  player/script/InterpreterOps.cpp
  player/script/InterpreterCalls.cpp
  player/script/InterpreterHost.cpp
  player/script/BuiltinsObject.cpp
  player/script/BuiltinsArray.cpp
  player/script/ArraySort.cpp
  player/script/BuiltinsString.cpp
  player/script/BuiltinsNumber.cpp
  player/script/BuiltinsDate.cpp
  player/script/BuiltinsInput.cpp
  player/script/BuiltinsGeometry.cpp
)
target_include_directories(velmora_script PUBLIC ${CMAKE_SOURCE_DIR})
