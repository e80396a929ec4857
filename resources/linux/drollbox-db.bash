# bash completion for drollbox-db
_drollbox_db() {
  local cur prev words cword
  _init_completion -n = || return
  local commands="compress decompress pack unpack verify show random search stats help"
  if [[ $cword -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi
  case $prev in
    --file | -o | --output)
      _filedir
      return
      ;;
    -n) return ;;
  esac
  if [[ $cur == --file=* || $cur == --output=* ]]; then
    cur=${cur#*=}
    _filedir
    return
  fi
  if [[ ${words[1]} == help && $cword -eq 2 ]]; then
    COMPREPLY=($(compgen -W "${commands% help}" -- "$cur"))
    return
  fi
  local options="--help --version"
  case ${words[1]} in
    pack) options+=" -o --output" ;;
    unpack) options+=" --file -o --output" ;;
    random) options+=" --file -s --short -l --long -n -w --wait" ;;
    search) options+=" --file -i --ignore-case -E --extended" ;;
    verify | show | stats) options+=" --file" ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  elif [[ ${words[1]} == pack ]]; then
    _filedir
  fi
} && complete -F _drollbox_db drollbox-db
