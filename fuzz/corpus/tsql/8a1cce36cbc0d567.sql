SELECT CASE WHEN RTRIM(t2.FOperator)='*' THEN (ISNULL(t1.FSoLowPrc,0)*t2.FExchangeRate) 
  ELSE (ISNULL(t1.FSoLowPrc,0)/t2.FExchangeRate) END AS FSELowPrice 
FROM t_ICItem t1 INNER JOIN t_Currency t2 ON t1.FSoLowPrcMnyType=t2.FCurrencyID
WHERE t1.FItemID=1241